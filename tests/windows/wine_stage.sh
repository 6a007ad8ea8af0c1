#!/usr/bin/env bash
# The Wine stage of the Windows tests: a fresh Wine prefix on a display of
# its own (Xvfb) and without a sound device, in which the setup program
# installs Tavo silently, each scenario runs through the input-method
# manager (tavo-imetest), and the uninstaller removes Tavo again.
#
#   wine_stage.sh start STATE LOADER SETUP      make the prefix, install
#   wine_stage.sh run STATE IMETEST MODULE NAME  one scenario
#   wine_stage.sh uninstall STATE                uninstall and check
#   wine_stage.sh stop STATE                     end Wine and the display
set -euo pipefail

command=$1
state=$2
shift 2

# Wine's server and services and the display outlive this script: they
# must not keep the files it inherited open (a lock held by whoever ran it,
# for one). Bash reads the script itself through 255.
for fd in /proc/$$/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 2 ] && [ "$fd" != 255 ] && eval "exec $fd>&-" 2>/dev/null || true
done

layouts_key='HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts'

fail() {
    echo "wine stage: $*" >&2
    exit 1
}

load_env() {
    [ -f "$state/env" ] || fail "not started: no $state/env"
    # shellcheck disable=SC1091
    source "$state/env"
}

# The prefix's copy of a file of the system directories.
system_file() {
    echo "$WINEPREFIX/drive_c/windows/$1/$2"
}

# The layouts as a .reg file: reg query would print their names in the
# console's code page, which has no Chinese.
installed_layouts() {
    local file="$state/layouts.reg"
    rm -f "$file"
    "$WINELOADER" reg export "$layouts_key" "$(winepath_of "$file")" /y >/dev/null 2>&1 || true
    [ ! -f "$file" ] || iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
}

# A Unix path as Wine's drive Z: sees it.
winepath_of() {
    echo "Z:${1//\//\\}"
}

stop_stage() {
    if [ -f "$state/env" ]; then
        # shellcheck disable=SC1091
        (source "$state/env" && "$WINESERVER" -k 2>/dev/null) || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$state"
}

start() {
    local loader=$1 setup=$2
    stop_stage
    mkdir -p "$state/prefix"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" \
        >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        sleep 0.1
    done
    [ -s "$state/display" ] || fail "Xvfb did not start: $(cat "$state/xvfb.log")"
    local server=${loader%/*}/wineserver
    [ -x "${server}64" ] && [[ $loader == *64 ]] && server=${server}64
    cat >"$state/env" <<END
export WINEPREFIX="$state/prefix"
export WINELOADER="$loader"
export WINESERVER="$server"
export WINEDEBUG=-all
export DISPLAY=":$(head -n1 "$state/display")"
# No sound device (the sounds fail quietly) and no Mono or Gecko installers.
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml=d"
END
    load_env
    # Whatever outlives this script writes to a log, not to the test's
    # output, which the test runner waits to see closed.
    "$WINESERVER" -p >>"$state/wine.log" 2>&1
    "$WINELOADER" wineboot --init >"$state/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -5 "$state/wineboot.log")"
    # A program that crashes ends at once, with no debugger waiting to be
    # attached (it would hold the test until its time runs out).
    "$WINELOADER" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /f >>"$state/wine.log" 2>&1 || true
    # No window manager runs on the display: windows that Wine would leave
    # to one wait two seconds to be hidden.
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$state/wine.log" 2>&1 || fail "can't set the X11 driver's settings"
    "$WINELOADER" "$setup" /S >>"$state/wine.log" 2>&1 || fail "the setup failed with $?"
    for folder in system32 SysWOW64; do
        for file in vexa.ime ruda.ime tavo_spk.dll vexa.idb ruda.idb tavo_spk.vdb; do
            [ -s "$(system_file $folder $file)" ] || fail "the setup did not install $folder/$file"
        done
    done
    local layouts
    layouts=$(installed_layouts)
    for text in "Tavo 粵語拼音" "Tavo 粵語點字"; do
        grep -q "$text" <<<"$layouts" || fail "no layout named $text"
    done
    grep -qi "VEXA.IME" <<<"$layouts" && grep -qi "RUDA.IME" <<<"$layouts" ||
        fail "the layouts do not name the input methods"
    echo "installed: $(grep -ci 'Ime File' <<<"$layouts") input-method layouts"
}

run() {
    local imetest=$1 module=$2 name=$3
    load_env
    timeout 100 "$WINELOADER" "$imetest" run "$module" "$name"
}

uninstall() {
    load_env
    local folder="C:\\Program Files (x86)\\Tavo"
    local program="$WINEPREFIX/drive_c/Program Files (x86)/Tavo/uninstall.exe"
    if [ ! -f "$program" ]; then
        folder="C:\\Program Files\\Tavo"
        program="$WINEPREFIX/drive_c/Program Files/Tavo/uninstall.exe"
    fi
    [ -f "$program" ] || fail "no uninstaller"
    # _?= runs it in place, so that it ends before this script goes on.
    "$WINELOADER" "$program" /S "_?=$folder" || fail "the uninstaller failed with $?"
    # Under Wine it still copies itself away and goes on from there: its
    # last step deletes its own file.
    for _ in $(seq 600); do
        [ -f "$program" ] || break
        sleep 0.1
    done
    sleep 1
    for folder in system32 SysWOW64; do
        for file in vexa.ime ruda.ime tavo_spk.dll vexa.idb ruda.idb tavo_spk.vdb; do
            [ ! -e "$(system_file $folder $file)" ] || fail "$folder/$file is still there"
        done
    done
    ! installed_layouts | grep -qi -e "VEXA.IME" -e "RUDA.IME" || fail "a layout is still there"
    echo "uninstalled: layouts and files removed"
}

case $command in
start) start "$@" ;;
run) run "$@" ;;
uninstall) uninstall ;;
stop) stop_stage ;;
*) fail "unknown command $command" ;;
esac
