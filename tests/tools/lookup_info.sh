#!/bin/bash
# lookup and info on the sample dictionary and a query image.
set -u
tavodb=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
row() { local IFS=$'\t'; printf '%s\n' "$*"; }
expect() { # expect NAME ACTUAL EXPECTED
    [ "$2" = "$3" ] || { fail "$1"; diff <(echo "$3") <(echo "$2") >&2; }
}

dict=$work/dict.img
"$tavodb" build --id "TAVO dictionary database" "$root/tools/samples/sample-dictionary.tsv" \
    "$dict" >/dev/null || fail "build of the sample"

# Longest prefix: 你好 out of 你好嗎, 你 out of 你們; both readings of 好;
# nothing for 嗎.
out=$("$tavodb" lookup "$dict" 你好嗎 你們 好 嗎)
expect "lookup" "$out" "你好嗎 -> 你好 (4 of 6 bytes)
    {nei5hou2}
你們 -> 你 (2 of 4 bytes)
    {nei5}
好 -> 好 (2 of 2 bytes)
    {hou2}
    {hou3}
嗎 -> no match"

# HKSCS keys and a key whose second byte is a backslash.
out=$("$tavodb" lookup "$dict" 嘅 佢哋)
expect "lookup HKSCS" "$out" "嘅 -> 嘅 (2 of 2 bytes)
    {ge3}
佢哋 -> 佢 (2 of 4 bytes)
    {keoi5}"

# A key with no Big5 code is an error, the other keys are still looked up.
out=$("$tavodb" lookup "$dict" 你 😀 2>"$work/err")
[ $? -ne 0 ] || fail "lookup of an emoji succeeded"
grep -q 'U+1F600' "$work/err" || fail "lookup error: $(cat "$work/err")"
expect "lookup around an error" "$out" "你 -> 你 (2 of 2 bytes)
    {nei5}"

# Query data: one line per reading.
{
    row 好 '{hou2}(女部三畫)' '好人\n{hou3}(女部三畫)' 好學
} >"$work/query.tsv"
"$tavodb" build --id "TAVO query database" "$work/query.tsv" "$work/query.img" >/dev/null
out=$("$tavodb" lookup "$work/query.img" 好)
expect "lookup query" "$out" "好 -> 好 (2 of 2 bytes)
    {hou2}(女部三畫)	好人
    {hou3}(女部三畫)	好學"

out=$("$tavodb" info "$dict")
for line in "identifier: TAVO dictionary database" "kind: readings" "keys: 16" \
    "keys by length in characters: 1: 9, 2: 7" "data alternatives: 17" \
    "readings per key: 1: 15, 2: 1" "file size: $(stat -c %s "$dict") bytes"; do
    grep -qxF "$line" <<<"$out" || fail "info lacks \"$line\""
done
grep -qE '^tree depth: [0-9]+$' <<<"$out" || fail "info lacks the depth"
grep -qE '^max bit index: [0-9]+$' <<<"$out" || fail "info lacks the bit index"

exit $((failures > 0))
