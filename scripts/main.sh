#!/usr/bin/env bash
# The main job: builds the system and shows it working.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

tavo_build linux
bin=build/linux
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo
echo "== Building a dictionary image from tools/samples/sample-dictionary.tsv"
"$bin/tools/tavodb" build --id "TAVO dictionary database" tools/samples/sample-dictionary.tsv "$work/sample.dic"
"$bin/tools/tavodb" info "$work/sample.dic"
echo
echo "== Looking up texts: the longest word first, its readings decoded to jyutping"
"$bin/tools/tavodb" lookup "$work/sample.dic" 你好嗎 唔該 我哋食飯 嘅
