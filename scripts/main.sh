#!/usr/bin/env bash
# The main job: builds the system and shows it working, as a person uses it.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

tavo_build linux
bin=build/linux
data=$bin/data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pictures=$bin/pictures
rm -rf "$pictures"
mkdir -p "$pictures"

echo
echo "== The databases built from data/ (tavodb info)"
for image in dictionary.img query.img vexa.idb ruda.idb; do
    printf '   %-15s %s\n' "$image" "$("$bin/tools/tavodb" info "$data/$image" | grep -m1 -i 'keys')"
done

echo
echo "== The jyutping module in the host, Speech and Verbose Composition switched on in the"
echo "   settings dialog: nei5hou2, Space, 1 chooses 你好; si1, Space shows its page, and a"
echo "   click on its third line (2 詩人) chooses 詩. Each key: the composition window's lines and"
echo "   what was heard (the sound is captured at a tenth of its length to keep this short)."
export TAVO_SYSTEM_DIR=$PWD/$data TAVO_WINDOWS_DIR=$work TAVO_SOUND_TIMESCALE=0.1
export TAVO_REGISTRY=$work/registry
"$bin/host/tavo-host" --module vexa --configure "257 259 1" --capture "$work/speech.wav" \
    --listen --brief --snapshot "$work/steps" --script "nei5hou2<Space>1si1<Space>{line:3}" |
    grep -v '^Dialog\|^  \[\|^press\|^ImeConfigure' | grep -v 'picture:'
cp "$work/steps/014.png" "$pictures/si1-page.png" # after si1 and Space

echo
echo "== The same page at the largest font in reverse video, and a braille reading typed in"
echo "   the braille module with Braille Display on:"
export TAVO_REGISTRY=$work/registry-large
"$bin/host/tavo-host" --module vexa --configure "258 1" --brief \
    --script "<Ctrl+\`>7<Ctrl+\`>7<Ctrl+\`>7<Ctrl+\`>7<Ctrl+\`>7si1<Space>" \
    --snapshot-last "$pictures/si1-page-largest-reversed.png" >/dev/null
export TAVO_REGISTRY=$work/registry-braille
"$bin/host/tavo-host" --module ruda --configure "260 1" --brief --script "nh,hva" \
    --snapshot-last "$pictures/braille-reading.png" | grep -v '^Dialog\|^  \[\|^press\|^Ime' |
    tail -2 | head -1
echo
echo "== Pictures written:"
for picture in "$pictures"/*.png; do echo "   $picture"; done
