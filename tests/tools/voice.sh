#!/bin/bash
# tavovoice: the keys of a voice are reading codes, each one's data the
# marker byte and a WAVE image named after its syllables, and a key of two
# syllables wins over the first alone; typed spellings and candidate
# numbers share the recordings. Records with espeak-ng when it is
# installed.
set -u
tavodb=$1
root=$2
tavovoice=$(dirname "$tavodb")/tavovoice
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The text as dump shows bytes: \xHH each.
hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../\\x&/g' | tr a-f A-F; }

# The syllables of the readings in a dump, one per line, sorted.
syllables() { grep -o '{[^}]*}' | tr -d '{}' | grep -oE '[a-z]+[0-9]' | sort -u; }

# check_voice IMAGE NAME...: each NAME is a key whose data is the marker,
# then "RIFF" <size> "WAVE" ... "INAM" <size> NAME.
check_voice() {
    local image=$1
    shift
    "$tavodb" dump --full "$image" >"$work/dump" || fail "dump of $image"
    "$tavodb" info "$image" | grep -qx 'identifier: TAVO voice database' ||
        fail "$image: identifier"
    for name in "$@"; do
        local data
        data=$(grep "^{$name}"$'\t' "$work/dump" | cut -f2)
        [ -n "$data" ] || { fail "$image: no key {$name}"; continue; }
        grep -qE '^\\x57\\x52\\x49\\x46\\x46(\\x..){4}\\x57\\x41\\x56\\x45' <<<"$data" ||
            fail "$image {$name}: not the marker and RIFF....WAVE: ${data:0:80}"
        grep -qF "$(hex INAM)" <<<"$data" || fail "$image {$name}: no INAM"
        grep -qF "$(hex INAM)\\x$(printf '%02X' $((${#name} + 1)))\\x00\\x00\\x00$(hex "$name")\\x00" \
            <<<"$data" || fail "$image {$name}: INAM does not name $name"
    done
}

dict=$work/dict.img
"$tavodb" build --id "TAVO dictionary database" "$root/tools/samples/sample-dictionary.tsv" \
    "$dict" >/dev/null || fail "build of the sample dictionary"

# Every syllable of the dictionary and of the digits, and nothing else.
digits=$(printf '%s\n' ling4 jat1 ji6 saam1 sei3 ng5 luk6 cat1 baat3 gau2)
"$tavovoice" tones --dictionary "$dict" --out "$work/all.vdb" >/dev/null || fail "tones of $dict"
expected=$( ("$tavodb" dump "$dict" | syllables; echo "$digits") | sort -u)
actual=$("$tavodb" dump "$work/all.vdb" | cut -f1 | grep '^{' | tr -d '{}' | sort)
[ "$actual" = "$expected" ] || fail "keys are not the dictionary's syllables: $actual"
# Each syllable again as typed in jyutping, for readings spoken as typed
# (braille spellings such as th1, dei6, look alike and are there too).
keys=$("$tavodb" dump "$work/all.vdb" | cut -f1)
missing=$(comm -23 <(echo "$expected") <(sort <<<"$keys"))
[ -z "$missing" ] || fail "syllables not typed keys: $missing"
# shellcheck disable=SC2086
check_voice "$work/all.vdb" $expected
# The digits as candidate numbers, each with the space that follows it.
for n in 0 1 2 3 4 5 6 7 8 9; do
    name=$(sed -n "$((n + 1))p" <<<"$digits")
    "$tavodb" lookup "$work/all.vdb" "$n x" | grep -q "^$n x -> $n  (2 of 3 bytes)" ||
        fail "no key \"$n \" for $name: $("$tavodb" lookup "$work/all.vdb" "$n x")"
    "$tavodb" dump --full "$work/all.vdb" | grep "^$n "$'\t' | grep -qF "$(hex "$name")" ||
        fail "\"$n \" is not $name"
done

# Chosen syllables, one key of two syllables among them.
"$tavovoice" tones --syllables nei5,hou2,nei5hou2,sik9 --out "$work/some.vdb" >/dev/null ||
    fail "tones of a list"
check_voice "$work/some.vdb" nei5 hou2 nei5hou2 sik6
# 14 codes (4 listed, 10 digits), 13 toned jyutping, 13 toneless, 10 digit
# numbers and the braille spellings of 13 syllables.
[ "$("$tavodb" info "$work/some.vdb" | grep '^keys:')" = "keys: 63" ] || fail "some: key count"
"$tavodb" lookup "$work/some.vdb" nei5hou2 | grep -q '^nei5hou2 -> nei5 (4 of 8 bytes)' ||
    fail "a typed syllable is not its own key"
out=$("$tavodb" lookup "$work/some.vdb" '{nei5hou2sik6}' '{nei5hou3}')
grep -qF '{nei5hou2sik6} -> {nei5hou2} (4 of 6 bytes)' <<<"$out" || fail "two-code key: $out"
grep -qF '{nei5hou3} -> {nei5} (2 of 4 bytes)' <<<"$out" || fail "one-code key: $out"
# Two syllables last twice as long as one: 60 ms each at 16 kHz, 16-bit.
size_of() { "$tavodb" lookup "$work/some.vdb" "{$1}" | grep -oE '\[[0-9]+ bytes'; }
[ "$(size_of nei5)" = "[1991 bytes" ] || fail "nei5: $(size_of nei5)"
[ "$(size_of nei5hou2)" = "[3915 bytes" ] || fail "nei5hou2: $(size_of nei5hou2)"

# Failures exit non-zero, name the syllable and leave no image.
expect_error() { # expect_error NAME PATTERN COMMAND...
    local name=$1 pattern=$2
    shift 2
    rm -f "$work/bad.vdb"
    if "$@" >/dev/null 2>"$work/err"; then
        fail "$name: succeeded"
    elif ! grep -qF -- "$pattern" "$work/err"; then
        fail "$name: expected \"$pattern\", got: $(cat "$work/err")"
    fi
    [ ! -e "$work/bad.vdb" ] || fail "$name: left an image"
}
expect_error "bad syllable" '"xyz1"' "$tavovoice" tones --syllables nei5,xyz1 --out "$work/bad.vdb"
expect_error "not a dictionary" "not a \"TAVO dictionary database\"" \
    "$tavovoice" tones --dictionary "$work/some.vdb" --out "$work/bad.vdb"
# (the digits' syllables are recorded too, so the first in byte order fails)
expect_error "failing espeak" "recording baat3" \
    "$tavovoice" record --syllables hou2 --out "$work/bad.vdb" --espeak false
expect_error "silent espeak" "recording baat3: espeak-ng gave no usable sound" \
    "$tavovoice" record --syllables nei5 --out "$work/bad.vdb" --espeak true
expect_error "no keys" "--dictionary or --syllables" "$tavovoice" tones --out "$work/bad.vdb"

# A real recording: trimmed, at 16 kHz, named; the syllabic ng is voiced.
# Through the library where the tool has it, and through the program.
if espeak-ng --voices=yue 2>/dev/null | grep -q yue-Latn-jyutping; then
    for way in library program; do
        program=()
        [ $way = program ] && program=(--espeak espeak-ng)
        "$tavovoice" record --syllables nei5,ng5,hok2 --out "$work/spoken.vdb" "${program[@]}" \
            >/dev/null || fail "record with espeak-ng ($way)"
        check_voice "$work/spoken.vdb" nei5 ng5 hok2
        "$tavodb" dump --full "$work/spoken.vdb" | grep -F "{ng5}" |
            grep -qF '\x80\x3E\x00\x00\x00\x7D\x00\x00' || fail "ng5: not 16 kHz 16-bit mono ($way)"
        ng=$("$tavodb" lookup "$work/spoken.vdb" "{ng5}" | grep -oE '\[[0-9]+ bytes' | tr -d '[' |
            cut -d' ' -f1)
        [ "${ng:-0}" -gt 5000 ] || fail "ng5 is only $ng bytes ($way)"
    done
    # The same keys give the same voice.
    "$tavovoice" record --syllables nei5,ng5,hok2 --out "$work/again.vdb" >/dev/null &&
        "$tavovoice" record --syllables nei5,ng5,hok2 --out "$work/spoken.vdb" >/dev/null &&
        cmp -s "$work/again.vdb" "$work/spoken.vdb" || fail "two recordings of the same keys differ"
else
    echo "no espeak-ng with the yue-Latn-jyutping voice: recording not tested"
fi

exit $((failures > 0))
