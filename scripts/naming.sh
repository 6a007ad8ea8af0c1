#!/usr/bin/env bash
# Checks the naming rule of host/, tools/ and platform/posix/ with
# clang-tidy (cmake/naming.clang-tidy) over the linux build's compile
# commands; --fix renames what breaks it. Called by test.sh after the
# linux build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=build/linux
fix=()
[ "${1:-}" = "--fix" ] && fix=(--fix-errors)

files=$(python3 - "$root" "$build/compile_commands.json" <<'PYTHON'
import json, re, sys
root, commands = sys.argv[1], sys.argv[2]
pattern = re.compile(re.escape(root) + r"/(host|tools|platform/posix)/.*\.cpp$")
print("\n".join(sorted({entry["file"] for entry in json.load(open(commands))
                        if pattern.match(entry["file"])})))
PYTHON
)
# Headers of the same folders, but not the Windows declarations of win32/.
filter="$root/((host|tools)/|platform/posix/[^/]*\.h$)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ ${#fix[@]} -gt 0 ]; then
    # One process, so that a name used in several files is renamed once.
    clang-tidy -p "$build" --quiet --config-file=cmake/naming.clang-tidy \
        --header-filter="$filter" "${fix[@]}" $files >"$log" 2>&1 || true
else
    echo "$files" | xargs -P "$(nproc)" -n 8 clang-tidy -p "$build" --quiet \
        --config-file=cmake/naming.clang-tidy --header-filter="$filter" >"$log" 2>&1 || true
fi
problems=$(grep -E "(warning|error): invalid case style" "$log" | sort -u || true)
if [ -n "$problems" ]; then
    echo "$problems"
    echo "naming: $(echo "$problems" | wc -l) names break the rule (scripts/naming.sh --fix renames them)"
    exit 1
fi
if grep -q "error:" "$log"; then
    grep "error:" "$log" | head -20
    echo "naming: clang-tidy could not read the sources"
    exit 1
fi
echo "naming: every name of host/, tools/ and platform/posix/ follows the rule"
