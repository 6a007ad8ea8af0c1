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

data=$bin/data
echo
echo "== The databases built from the lexicon in data/"
"$bin/tools/tavodb" info "$data/dictionary.img" | head -5
echo
echo "== Typed readings and their first candidates in the jyutping phrase database"
"$bin/tools/tavodb" lookup "$data/vexa.idb" nei5hou2 neihou m4goi1 ngodei sik6faan6 | head -20
echo
echo "== A character's explanations in the query database"
"$bin/tools/tavodb" lookup "$data/query.img" 角

echo
echo "== The jyutping module in the host: Speech and Verbose Composition switched on in the"
echo "   settings dialog; nei5hou2 typed and converted with Space, candidate 1 chosen (你好);"
echo "   then si1: its candidates with their numbers and example words, the single view, the query"
echo "   of the first and its explanations (Q, Q), back to the candidates (Left) and the seventh chosen (7)"
echo "   (each key waits until what it made the module say has been heard; the sound is"
echo "   captured to a file, at a tenth of its real length, to keep the demonstration short)"
export TAVO_SYSTEM_DIR=$PWD/$data TAVO_WINDOWS_DIR=$work TAVO_REGISTRY=$work/registry
export TAVO_SOUND_TIMESCALE=0.1
"$bin/host/tavo-host" --module vexa --configure "257 259 1" --capture "$work/speech.wav" --listen \
    --script "n e i 5 h o u 2 <Space> 1 s i 1 <Space> <Down> Q Q <Left> <Left> 7"
echo
echo "== What was heard (the capture log)"
cat "$work/speech.wav.log"
