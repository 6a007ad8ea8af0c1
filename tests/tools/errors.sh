#!/bin/bash
# Every error exits non-zero and names the file, and the line where there
# is one; a failed build leaves no output and keeps an older image.
set -u
tavodb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect_error NAME PATTERN COMMAND...: fails with PATTERN on stderr.
expect_error() {
    local name=$1 pattern=$2
    shift 2
    if "$@" >/dev/null 2>"$work/err"; then
        fail "$name: succeeded"
    elif ! grep -qF -- "$pattern" "$work/err"; then
        fail "$name: expected \"$pattern\", got: $(cat "$work/err")"
    fi
}

# build_error NAME PATTERN LINE...: building these lines fails with PATTERN
# and writes nothing.
build_error() {
    local name=$1 pattern=$2
    shift 2
    rm -f "$work/out.img"
    printf '%s\n' "$@" >"$work/in.tsv"
    expect_error "$name" "$pattern" "$tavodb" build --id "TAVO dictionary database" \
        "$work/in.tsv" "$work/out.img"
    [ ! -e "$work/out.img" ] && [ ! -e "$work/out.img.tmp" ] || fail "$name: left a file"
}

expect_error "missing input" "$work/none.tsv" \
    "$tavodb" build --id "TAVO dictionary database" "$work/none.tsv" "$work/out.img"
build_error "emoji key" "in.tsv:3: key: U+1F600" '# comment' $'你\t{nei5}' $'😀\t{nei5}'
build_error "text with no Big5" "in.tsv:1: data: U+D55C" $'你\t{nei5}한'
build_error "duplicate key" "in.tsv:4: duplicate key \"你\" (first on line 2)" \
    $'好\t{hou2}' $'你\t{nei5}' $'我\t{ngo5}' $'你\t{nei5}'
build_error "bad jyutping" "in.tsv:2: data: bad jyutping" $'好\t{hou2}' $'你\t{nei9x}'
build_error "no TAB" "in.tsv:1: no TAB" '你 {nei5}'
build_error "empty key" "in.tsv:1: empty key" $'\t{nei5}'
build_error "unknown escape" "in.tsv:1: data: unknown escape" $'你\t\\t'
build_error "unclosed reading" "in.tsv:1: data:" $'你\t{nei5'
build_error "zero byte in text data" "in.tsv:1: data holds a zero byte" $'你\t\\x00'
build_error "not UTF-8" "in.tsv:1: key: text is not valid UTF-8" $'\xff\t{nei5}'
# Every bad line is reported, not just the first.
build_error "two errors" "in.tsv:3:" $'😀\t{nei5}' $'你\t{nei5}' $'\t{nei5}'
grep -qF "in.tsv:1:" "$work/err" || fail "two errors: the first is not reported"

# A failed build leaves an older image as it was.
printf '%s\n' $'你\t{nei5}' >"$work/good.tsv"
"$tavodb" build --id "TAVO dictionary database" "$work/good.tsv" "$work/keep.img" >/dev/null
cp "$work/keep.img" "$work/keep.orig"
printf '%s\n' $'你\t{x}' >"$work/bad.tsv"
expect_error "failed rebuild" "bad.tsv:1:" \
    "$tavodb" build --id "TAVO dictionary database" "$work/bad.tsv" "$work/keep.img"
cmp -s "$work/keep.img" "$work/keep.orig" || fail "failed rebuild changed the image"
expect_error "unwritable output" "$work/no/such/dir/out.img" \
    "$tavodb" build --id "TAVO dictionary database" "$work/good.tsv" "$work/no/such/dir/out.img"

# Files that are not images.
printf 'just some text, long enough to hold a header\n' >"$work/text.img"
: >"$work/empty.img"
for command in info dump "lookup"; do
    extra=()
    [ "$command" = lookup ] && extra=(你)
    expect_error "$command of text" "$work/text.img: not a libptree image" \
        "$tavodb" $command "$work/text.img" "${extra[@]}"
    expect_error "$command of an empty file" "$work/empty.img: not a libptree image" \
        "$tavodb" $command "$work/empty.img" "${extra[@]}"
    expect_error "$command of a missing file" "$work/none.img: cannot open" \
        "$tavodb" $command "$work/none.img" "${extra[@]}"
done

# A damaged image still dumps what can be read, and every command that
# reads it says it is damaged and fails.
head -c $(($(stat -c %s "$work/keep.img") - 3)) "$work/keep.img" >"$work/cut.img"
expect_error "dump of a cut image" "$work/cut.img: damaged image" "$tavodb" dump "$work/cut.img"
expect_error "info of a cut image" "$work/cut.img: damaged image" "$tavodb" info "$work/cut.img"
expect_error "lookup in a cut image" "$work/cut.img: damaged image" \
    "$tavodb" lookup "$work/cut.img" 你
# Binary data cut short has lost its terminator.
printf '%s\t%s\n' '{nei5}' '\x57\x00\x01' '{hou2}' '\x57\x00\x02' >"$work/voice.tsv"
"$tavodb" build --id "TAVO voice database" "$work/voice.tsv" "$work/voice.img" >/dev/null ||
    fail "voice build"
head -c $(($(stat -c %s "$work/voice.img") - 1)) "$work/voice.img" >"$work/cutvoice.img"
for command in info dump "lookup"; do
    extra=()
    [ "$command" = lookup ] && extra=('{nei5}')
    "$tavodb" $command "$work/voice.img" "${extra[@]}" >/dev/null || fail "$command of a whole voice"
    expect_error "$command of a cut voice" "$work/cutvoice.img: damaged image" \
        "$tavodb" $command "$work/cutvoice.img" "${extra[@]}"
done

# What an earlier dump abbreviated is not data: build refuses it.
printf '%s\t%s\n' '{si1}' '[19 bytes: \x00\x52...]' >"$work/summary.tsv"
expect_error "build of an abbreviated dump" "summary.tsv:1: data is an abbreviation" \
    "$tavodb" build --id "TAVO voice database" "$work/summary.tsv" "$work/summary.img"
[ ! -e "$work/summary.img" ] || fail "build of an abbreviated dump wrote an image"

expect_error "unknown command" "unknown command" "$tavodb" frobnicate
expect_error "unknown kind" "unknown kind" "$tavodb" dump "$work/keep.img" --as words
expect_error "build without --id" "usage" "$tavodb" build "$work/good.tsv" "$work/x.img"
"$tavodb" --help | grep -q "tavodb build" || fail "--help"

exit $((failures > 0))
