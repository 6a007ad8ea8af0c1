#!/usr/bin/env python3
"""Checks that the two resource compilers see the same resources in a
module's resource list: the Windows build's windres and the Linux build's
tools/rc/tavorc each write a .res file of it, and both must hold the same
resources (type, name and bytes). Languages and memory flags are not
compared: the lists have one language, and tavorc keeps no flags.

    compare_res.py windres.res tavorc.res [...pairs]
    compare_res.py --self-test
"""
import struct
import sys


def read_name(data, at):
    """A type or name at `at`: (value, next offset). A number is an int,
    a word a str."""
    (first,) = struct.unpack_from("<H", data, at)
    if first == 0xFFFF:
        (number,) = struct.unpack_from("<H", data, at + 2)
        return number, at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def read_res(path):
    """The resources of a .res file as {(type, name): bytes}."""
    with open(path, "rb") as f:
        data = f.read()
    resources = {}
    at = 0
    while at < len(data):
        if len(data) - at < 8:
            raise ValueError(f"{path}: truncated entry at byte {at}")
        size, header = struct.unpack_from("<II", data, at)
        kind, after = read_name(data, at + 8)
        name, _ = read_name(data, after)
        body = data[at + header: at + header + size]
        if len(body) != size:
            raise ValueError(f"{path}: entry at byte {at} runs past the end")
        if not (kind == 0 and name == 0 and size == 0):  # the format's mark
            if (kind, name) in resources:
                raise ValueError(f"{path}: resource {kind}/{name} given twice")
            resources[(kind, name)] = body
        at += (header + size + 3) & ~3
    return resources


def describe(key):
    kind, name = key
    return f"type {kind} name {name}"


def compare(windres_path, tavorc_path):
    """The differences between the two files, as lines of text."""
    windres = read_res(windres_path)
    tavorc = read_res(tavorc_path)
    problems = []
    for key in sorted(set(windres) | set(tavorc), key=str):
        if key not in tavorc:
            problems.append(f"{describe(key)}: only windres has it")
        elif key not in windres:
            problems.append(f"{describe(key)}: only tavorc has it")
        elif windres[key] != tavorc[key]:
            a, b = windres[key], tavorc[key]
            first = next((i for i in range(min(len(a), len(b))) if a[i] != b[i]), min(len(a), len(b)))
            problems.append(f"{describe(key)}: bytes differ (windres {len(a)}, tavorc {len(b)}, "
                            f"first difference at byte {first})")
    return problems, len(windres)


def entry(kind, name, body):
    def name_bytes(value):
        if isinstance(value, int):
            return struct.pack("<HH", 0xFFFF, value)
        return value.encode("utf-16-le") + b"\0\0"
    names = name_bytes(kind) + name_bytes(name)
    names += b"\0" * (-len(names) % 4)
    header = struct.pack("<II", len(body), 8 + len(names) + 16) + names + struct.pack("<IHHII", 0, 0x30, 0x0409, 0, 0)
    return header + body + b"\0" * (-len(body) % 4)


def self_test():
    import os
    import tempfile
    mark = entry(0, 0, b"")
    with tempfile.TemporaryDirectory() as folder:
        def write(name, *entries):
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                f.write(mark + b"".join(entries))
            return path
        a = write("a.res", entry(6, 17, b"abc"), entry("WAVE", 512, b"RIFF"))
        same = write("b.res", entry("WAVE", 512, b"RIFF"), entry(6, 17, b"abc"))
        other = write("c.res", entry(6, 17, b"abd"))
        assert compare(a, same) == ([], 2), compare(a, same)
        problems, _ = compare(a, other)
        assert sorted(problems) == ["type 6 name 17: bytes differ (windres 3, tavorc 3, first difference at byte 2)",
                                    "type WAVE name 512: only windres has it"], problems
        broken = os.path.join(folder, "d.res")
        with open(broken, "wb") as f:
            f.write(mark + entry(6, 17, b"abc")[:-4])
        try:
            read_res(broken)
            raise AssertionError("a truncated file was read")
        except ValueError:
            pass
    print("self-test passed")
    return 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if not arguments or len(arguments) % 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    failed = False
    for windres_path, tavorc_path in zip(arguments[::2], arguments[1::2]):
        try:
            problems, count = compare(windres_path, tavorc_path)
        except (OSError, ValueError, struct.error) as error:
            print(f"{windres_path}: {error}", file=sys.stderr)
            return 1
        for problem in problems:
            print(f"{tavorc_path}: {problem}", file=sys.stderr)
        failed |= bool(problems)
        if not problems:
            print(f"{tavorc_path}: the same {count} resources as windres")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
