#!/usr/bin/env python3
"""Checks the Windows binaries as Windows will load them, from what
objdump -p reports of each:
- it exports exactly the names of its module-definition file
  (resources/<name>/<name>.def), undecorated, at the ordinals given there;
- it imports nothing but Windows' own libraries and the speech library
  (the compiler's runtime is linked in, so nothing else must be installed);
- what it imports from the speech library is speech_read and speech_stop
  by their plain names.

    check_binaries.py OBJDUMP RESOURCES_DIR BINARY...
    check_binaries.py --self-test
"""
import os
import re
import subprocess
import sys

WINDOWS_LIBRARIES = {"kernel32.dll", "user32.dll", "gdi32.dll", "imm32.dll", "winmm.dll",
                     "advapi32.dll", "msvcrt.dll", "shell32.dll"}
SPEECH_LIBRARY = "tavo_spk.dll"
SPEECH_EXPORTS = {"speech_read", "speech_stop"}


def read_def(path):
    """The exports of a module-definition file: {name: ordinal or None}."""
    exports = {}
    in_exports = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split(";")[0].strip()
            if not line:
                continue
            if re.match(r"^EXPORTS\b", line):
                in_exports = True
                line = line[len("EXPORTS"):].strip()
                if not line:
                    continue
            elif re.match(r"^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|VERSION|SECTIONS)\b", line):
                in_exports = False
                continue
            if in_exports:
                match = re.match(r"^(\S+)(?:\s+@\s*(\d+))?", line)
                exports[match.group(1)] = int(match.group(2)) if match.group(2) else None
    return exports


def parse_objdump(text):
    """(exports {name: ordinal}, imports {dll lower-case: [names]})."""
    exports = {}
    imports = {}
    base = 1
    match = re.search(r"Export Address Table -- Ordinal Base (\d+)", text)
    if match:
        base = int(match.group(1))
    section = re.search(r"\[Ordinal/Name Pointer\] Table\n((?:\t\[ *\d+\] \S+\n)*)", text)
    if section:
        for index, name in re.findall(r"\[ *(\d+)\] (\S+)", section.group(1)):
            exports[name] = base + int(index)
    current = None
    for line in text.splitlines():
        match = re.match(r"^\tDLL Name: (\S+)", line)
        if match:
            current = match.group(1).lower()
            imports[current] = []
            continue
        match = re.match(r"^\t[0-9a-f]+\s+\d+\s+(\S+)", line)
        if current and match:
            imports[current].append(match.group(1))
        elif not line.strip():
            current = None
    return exports, imports


def check(name, exports, imports, expected):
    problems = []
    if set(exports) != set(expected):
        problems.append(f"exports {sorted(exports)}, not {sorted(expected)}")
    for export, ordinal in expected.items():
        if ordinal is not None and exports.get(export) != ordinal:
            problems.append(f"{export} at ordinal {exports.get(export)}, not {ordinal}")
    for library, names in imports.items():
        if library == SPEECH_LIBRARY:
            if set(names) != SPEECH_EXPORTS:
                problems.append(f"imports {sorted(names)} from {SPEECH_LIBRARY}")
        elif library not in WINDOWS_LIBRARIES:
            problems.append(f"imports from {library}, which Windows does not have")
    return [f"{name}: {problem}" for problem in problems]


def self_test():
    sample = ("Export Address Table -- Ordinal Base 1\n"
              "\t[   0] +base[   1] 16b0 Export RVA\n\n"
              "[Ordinal/Name Pointer] Table\n\t[   0] speech_read\n\t[   1] speech_stop\n\n"
              "\tDLL Name: tavo_spk.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n"
              "\t6db48\t    1  speech_read@4\n\n"
              "\tDLL Name: libstdc++-6.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n"
              "\t6db58\t    2  _Znwm\n\n")
    exports, imports = parse_objdump(sample)
    assert exports == {"speech_read": 1, "speech_stop": 2}, exports
    assert imports == {"tavo_spk.dll": ["speech_read@4"], "libstdc++-6.dll": ["_Znwm"]}, imports
    problems = check("x", exports, imports, {"speech_read": 2, "speech_stop": None})
    assert problems == ["x: speech_read at ordinal 1, not 2",
                        "x: imports ['speech_read@4'] from tavo_spk.dll",
                        "x: imports from libstdc++-6.dll, which Windows does not have"], problems
    assert check("y", exports, {}, {"speech_read": 1, "speech_stop": 2}) == []
    print("self-test passed")
    return 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    objdump, resources, binaries = arguments[0], arguments[1], arguments[2:]
    problems = []
    for binary in binaries:
        name = os.path.splitext(os.path.basename(binary))[0]
        result = subprocess.run([objdump, "-p", binary], capture_output=True, text=True)
        if result.returncode != 0:
            print(f"{binary}: {result.stderr.strip()}", file=sys.stderr)
            return 1
        exports, imports = parse_objdump(result.stdout)
        expected = read_def(os.path.join(resources, name, name + ".def"))
        found = check(binary, exports, imports, expected)
        problems += found
        if not found:
            print(f"{binary}: {len(exports)} exports, imports from {', '.join(sorted(imports))}")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
