#!/usr/bin/python3
"""Reads the resources of Windows executables as Windows does: the resource
directory of the PE file's .rsrc section. Each program must carry the icon
in six sizes (one icon group), one version block with the product's name,
company and version, and a manifest declaring per-monitor DPI awareness and
the supported Windows versions.

    resources.py VERSION PROGRAM.exe...
"""
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(count):
        name, _, virtual, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        yield name.rstrip(b"\0"), virtual, raw, raw_size


def resources(data):
    """{type: [bytes of each resource]} from the three-level directory."""
    rsrc = next((s for s in sections(data) if s[0] == b".rsrc"), None)
    assert rsrc, "no resource section"
    _, virtual, raw, _ = rsrc

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, raw + offset + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, raw + offset + 16 + 8 * i)
            yield ident, target

    found = {}
    for kind, level2 in entries(0):
        for _, level3 in entries(level2 & 0x7FFFFFFF):
            for _, leaf in entries(level3 & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, raw + leaf)
                start = raw + rva - virtual
                found.setdefault(kind, []).append(data[start:start + size])
    return found


def main():
    version, programs = sys.argv[1], sys.argv[2:]
    failures = []
    for program in programs:
        with open(program, "rb") as file:
            found = resources(file.read())
        icons = found.get(RT_ICON, [])
        groups = found.get(RT_GROUP_ICON, [])
        if len(groups) != 1 or struct.unpack_from("<H", groups[0], 4)[0] != 6 or len(icons) != 6:
            failures.append(f"{program}: {len(icons)} icon images in {len(groups)} groups, not six in one")
        block = b"".join(found.get(RT_VERSION, [])).decode("utf-16-le", "replace")
        for text in ("ProductName", "QVR Datarium", "CompanyName", "QVR", "FileVersion", "ProductVersion",
                     version, "FileDescription"):
            if text not in block:
                failures.append(f"{program}: the version block lacks {text!r}")
        if len(found.get(RT_MANIFEST, [])) != 1:
            failures.append(f"{program}: {len(found.get(RT_MANIFEST, []))} manifests")
        manifest = b"".join(found.get(RT_MANIFEST, [])).decode("utf-8", "replace")
        for text in ("PerMonitorV2", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "asInvoker"):
            if text not in manifest:
                failures.append(f"{program}: the manifest lacks {text!r}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
