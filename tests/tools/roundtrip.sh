#!/bin/bash
# build then dump gives the text back exactly, for every kind of image;
# the order of the input lines does not change the image.
set -u
tavodb=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
row() { local IFS=$'\t'; printf '%s\n' "$*"; }

# Builds $2 (sorted in Big5 order) as identifier $1, plus extra build
# arguments, and checks the dump, and that reversed input builds the same image.
round_trip() {
    local id=$1 name=$2
    shift 2
    "$tavodb" build --id "$id" "$@" "$work/$name.tsv" "$work/$name.img" >/dev/null ||
        { fail "$name: build failed"; return; }
    "$tavodb" dump "$work/$name.img" "${dump_args[@]}" >"$work/$name.out" ||
        fail "$name: dump failed"
    diff "$work/$name.tsv" "$work/$name.out" >&2 || fail "$name: dump differs from the input"
    tac "$work/$name.tsv" >"$work/$name.rev.tsv"
    "$tavodb" build --id "$id" "$@" "$work/$name.rev.tsv" "$work/$name.rev.img" >/dev/null &&
        cmp -s "$work/$name.img" "$work/$name.rev.img" || fail "$name: input order changed the image"
}

# The sample dictionary: HKSCS characters (嘅 咗 啲), a word with two
# readings (好), 佢 whose second byte is a backslash, a stop final (食飯).
grep -v '^#' "$root/tools/samples/sample-dictionary.tsv" >"$work/dictionary.tsv"
dump_args=()
round_trip "TAVO dictionary database" dictionary

# Codes whose second byte is TAB (baa1) or LF (gok3) stay whole.
{
    cat "$work/dictionary.tsv"
    row 爸 '{baa1}' '{baa4}'
    row 爸爸 '{baa1baa1}'
    row 角 '{gok3}' '{luk6}'
} | LC_ALL=C sort -t $'\t' -k1,1 >"$work/codes.tsv"
"$tavodb" build --id "TAVO dictionary database" "$work/codes.tsv" "$work/codes.img" >/dev/null &&
    "$tavodb" dump "$work/codes.img" | grep -qx $'爸\t{baa1}\t{baa4}' ||
    fail "codes holding TAB or LF did not survive"

{
    row 嘅 '{ge3}(口部十一畫)' 嘅
    row 好 '{hou2}(女部三畫)' '好人\n{hou3}(女部三畫)' 好學
    row 你 '{nei5}(人部五畫)' 你好 你哋
    row 角 '{gok3}(角部)' 角度 '\n{luk6}(角部)'
} >"$work/query.tsv"
round_trip "TAVO query database" query

# Phrases, plus every escape; '#' starting a key must not make a comment.
{
    row '\x23tag' '#1'
    row 'a\\b' '\{x\}\x01\n'
    row keoi 佢 渠
    row m4goi 唔該
    row neihou 你好 你號
    row '\xA4' '\x80\xFF'
} >"$work/phrase.tsv"
round_trip "TAVO phrase database" phrase

# Voice data holds zero bytes, and dump writes it whole: the image built
# again from the dump is the same, byte for byte, however long the data.
{
    row '{ngo5}' '\x00'
    row '{si1}' '\x00\x52\x49\x46\x46\x00\x00\x00\x00\x57\x41\x56\x45\x00\x00\x00\x00\x00\x00'
} >"$work/voice.tsv"
dump_args=()
round_trip "TAVO voice database" voice
row '{nei5}' "$(head -c 3000 /dev/zero | sed 's/\x00/\\x57\\x00/g')" >"$work/long.tsv"
round_trip "TAVO voice database" long
"$tavodb" dump "$work/voice.img" >"$work/voice.again.tsv" &&
    "$tavodb" build --id "TAVO voice database" "$work/voice.again.tsv" "$work/voice.again.img" \
        >/dev/null && cmp -s "$work/voice.img" "$work/voice.again.img" ||
    fail "voice: dump and build again changed the image"

# --as overrides the kind that the identifier gives.
row 你 '{nei5}' >"$work/as.tsv"
dump_args=(--as readings)
round_trip "something else" as --as readings
[ "$("$tavodb" dump "$work/as.img")" != $'你\t{nei5}' ] || fail "as: codes shown in a text image"

# An empty input makes an empty image.
: >"$work/empty.tsv"
dump_args=()
round_trip "TAVO userdict" empty

exit $((failures > 0))
