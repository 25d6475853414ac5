# The two front doors: "make run" and "make test". Both install what is
# missing, configure and build into build/ first.
BUILD ?= build
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)

.PHONY: all deps build run test artwork clean

all: build

deps:
	@tools/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/datarium

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Draws the pictures and the icon in resources/ anew.
artwork: deps
	@cmake -S . -B $(BUILD) > /dev/null
	@cmake --build $(BUILD) --target makeartwork -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/makeartwork resources

clean:
	rm -rf $(BUILD)
