#!/bin/bash
# tavolex compiles a small lexicon, and stops on a line it can't use,
# naming the file and the line.
set -u
tavolex="$(dirname "$1")/tavolex"
tavodb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

lexicon() {
    mkdir -p "$work/$1"
    printf '# notice\n# char\treading\trank\n%s' "$2" >"$work/$1/chars.tsv"
    printf '# notice\n# word\treading\trank\texample\n%s' "$3" >"$work/$1/words.tsv"
    printf '# notice\n# char\tdescription\n你\t(人部五畫)\n好\t(女部三畫)\n' >"$work/$1/descriptions.tsv"
}

lexicon good $'你\tnei5\t1\n好\thou2\t2\n好\thou3\t3\n' \
    $'你好\tnei5 hou2\t1\t1\n好好\thou2 hou2\t2\t0\n'
mkdir -p "$work/out"
"$tavolex" "$work/good" "$work/out" >/dev/null || fail "a good lexicon did not compile"
"$tavodb" lookup "$work/out/vexa.idb" neihou | grep -q 你好 || fail "neihou does not offer 你好"
"$tavodb" lookup "$work/out/query.img" 好 | grep -q '{hou3}(女部三畫)' || fail "好 lacks its second reading"
# The most common example word first, then the description; a word marked
# 0 is no example.
"$tavodb" lookup "$work/out/query.img" 好 | grep -q '{hou2}你好	(女部三畫)$' ||
    fail "好 hou2 does not start with 你好: $("$tavodb" lookup "$work/out/query.img" 好)"
# A character offered in its second reading carries that reading's
# explanation.
"$tavodb" lookup "$work/out/vexa.idb" hou3 | grep -q '好|(女部三畫)' ||
    fail "hou3 does not carry its explanation: $("$tavodb" lookup "$work/out/vexa.idb" hou3)"

expect_error() {
    local name=$1 where=$2
    local message
    message=$("$tavolex" "$work/$name" "$work/out-$name" 2>&1) && fail "$name: compiled"
    grep -q "$where" <<<"$message" || fail "$name: message does not name $where: $message"
    [ -e "$work/out-$name/vexa.idb" ] && fail "$name: left a database"
}
mkdir -p "$work/out-badsyllable" "$work/out-badcount" "$work/out-apart" "$work/out-big5" \
    "$work/out-badexample"
lexicon badsyllable $'你\tnei5\t1\n好\thxu2\t2\n' ''
expect_error badsyllable "badsyllable/chars.tsv:4"
lexicon badcount '' $'你好\tnei5\t1\t1\n'
expect_error badcount "badcount/words.tsv:3"
lexicon badexample '' $'你好\tnei5 hou2\t1\tyes\n'
expect_error badexample "badexample/words.tsv:3"
lexicon apart $'你\tnei5\t1\n好\thou2\t2\n你\tlei5\t3\n' ''
expect_error apart "apart/chars.tsv:5"
lexicon big5 $'😀\tnei5\t1\n' ''
expect_error big5 "big5/chars.tsv:3"
[ "$failures" -eq 0 ]
