#!/usr/bin/env bash
# Runs a command against an ibus-daemon of its own, for the engine's tests
# and its timing tool: a scratch folder as home, registry, user folders and
# system directory, the engines of a component folder, every sound
# captured to $TAVO_IBUS_SCRATCH/sound.wav (and .log), and the daemon gone
# afterwards. Run it on a session bus of its own:
#
#   dbus-run-session -- bash private_ibus.sh COMPONENT_FOLDER COMMAND [ARGUMENT...]
#
# TAVO_IBUS_VOICE, when set, names the voice database to speak with.
set -u
if [ $# -lt 2 ]; then
    echo "usage: private_ibus.sh COMPONENT_FOLDER COMMAND [ARGUMENT...]" >&2
    exit 2
fi
components=$1
shift
command -v ibus-daemon >/dev/null || { echo "private_ibus.sh: ibus-daemon not found" >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavo-ibus.XXXXXX")
daemon=
cleanup() {
    if [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null
        wait "$daemon" 2>/dev/null
    fi
    # The engines leave when the daemon goes, perhaps still writing.
    for _ in 1 2 3 4 5; do
        rm -rf "$scratch" 2>/dev/null && break
        sleep 0.2
    done
}
trap cleanup EXIT

export HOME=$scratch/home
export XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data
export XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
export TAVO_IBUS_SCRATCH=$scratch
export TAVO_REGISTRY=$scratch/registry TAVO_WINDOWS_DIR=$scratch/windows
export TAVO_SYSTEM_DIR=$scratch/system
export TAVO_SOUND=capture:$scratch/sound.wav
export TAVO_SOUND_TIMESCALE=${TAVO_SOUND_TIMESCALE:-0.01}
mkdir -p "$TAVO_WINDOWS_DIR" "$TAVO_SYSTEM_DIR"
if [ -n "${TAVO_IBUS_VOICE:-}" ]; then
    cp "$TAVO_IBUS_VOICE" "$TAVO_SYSTEM_DIR/tavo_spk.vdb"
fi

export IBUS_COMPONENT_PATH=$components
export IBUS_ADDRESS=unix:path=$scratch/ibus
ibus-daemon --address="$IBUS_ADDRESS" --cache=none --panel=disable --emoji-extension=disable \
    --config=disable &
daemon=$!
for _ in $(seq 100); do
    [ -S "$scratch/ibus" ] && break
    sleep 0.05
done
if [ ! -S "$scratch/ibus" ]; then
    echo "private_ibus.sh: ibus-daemon did not start" >&2
    exit 1
fi
"$@"
