# The two front doors: "make run" and "make test". Both install what is
# missing, configure and build into build/ first.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
FUZZ_SECONDS ?= 60
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)

.PHONY: all deps build run test plain-test sanitized-test fuzz-test docs package artwork windows windows-test clean

all: build

deps:
	@tools/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/datarium

# The library's reference manual first (any Doxygen warning, an undocumented
# public item among them, fails it), then every test twice, plainly (GCC) and
# under AddressSanitizer and UBSan (clang, whose UBSan also checks
# enumeration values), then each fuzz target for FUZZ_SECONDS.
test: docs plain-test sanitized-test fuzz-test

plain-test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitized-test: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DDATARIUM_SANITIZE=ON > /dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

fuzz-test: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DDATARIUM_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tests/fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The spreadsheet library's reference manual, $(BUILD)/docs/html/index.html,
# made by Doxygen from the installed headers and docs/manual.
docs: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) --target docs

# The Debian package, $(BUILD)/datarium_<version>_<architecture>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# The programs for 64-bit Windows, cross-built against a Qt for Windows that
# tools/windows/build-qt makes once (into ~/.cache/datarium), with the ISA-L
# that tools/windows/build-isal makes there, and their
# installer $(WINDOWS_BUILD)/datarium-<version>-setup.exe.
windows:
	@tools/install-deps windows
	@qt=$$(tools/windows/build-qt) && isal=$$(tools/windows/build-isal) && \
		cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/tools/windows/mingw-w64.cmake -DDATARIUM_WINDOWS_QT="$$qt" \
		-DDATARIUM_WINDOWS_ISAL="$$isal" \
		-DDATARIUM_LINUX_BUILD=$(CURDIR)/$(BUILD) > /dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	tools/windows/make-installer $(WINDOWS_BUILD) $$(sed -n 's/^project(Datarium VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# The Windows programs' tests under Wine, beside the Linux build they are
# compared with.
windows-test: build windows
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

# Draws the pictures and the icon in resources/ anew.
artwork: deps
	@cmake -S . -B $(BUILD) > /dev/null
	@cmake --build $(BUILD) --target makeartwork -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/makeartwork resources

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
