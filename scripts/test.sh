#!/usr/bin/env bash
# Every test: builds plain (g++) and with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite under both (the
# failure-injection scenarios and a short soak among them); then runs the
# tests of threads, sound and the speech library under ThreadSanitizer;
# checks the naming rule with clang-tidy; cross-builds the Windows
# deliverables (x64 and x86, with the setup program) and runs their tests,
# the scenarios under Wine among them; then runs each fuzz target, built
# by the sanitizer build, briefly on its seeds. Each stage says how long
# it took.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

stage_start=$SECONDS
stage_done() {
    echo "== $1 took $((SECONDS - stage_start)) s (${SECONDS} s in all)"
    stage_start=$SECONDS
}

for preset in linux linux-asan linux-tsan; do
    echo "== $preset"
    tavo_build "$preset"
    # The plain suite's longest tests mostly wait for what the modules say,
    # so it runs two tests a core; the sanitizers' keep the cores busy.
    jobs=$(nproc)
    [ "$preset" = linux ] && jobs=$((2 * jobs))
    ctest --preset "$preset" -j "$jobs"
    stage_done "$preset"
    if [ "$preset" = linux ]; then
        scripts/naming.sh
        stage_done "the naming check"
    fi
done

# The x64 tests need the modules, the scenarios' program and the quick
# setup for Wine; the setup program itself (LZMA on one core for most of a
# minute) is made while the scenarios run, which leave a core idle.
echo "== windows-x64"
tavo_build windows-x64 --target vexa ruda tavo_spk tavo-imetest tavo_test_setup
setup_log=$(mktemp)
cmake --build --preset windows-x64 -j 1 >"$setup_log" 2>&1 &
setup_pid=$!
ctest --preset windows-x64 -j "$(nproc)"
wait "$setup_pid" || { cat "$setup_log"; echo "windows-x64: the setup program failed" >&2; exit 1; }
ls -l build/windows-x64/tavo-setup.exe
stage_done windows-x64

# The x64 build made the setup program from both architectures' modules;
# the x86 tests need its modules alone.
echo "== windows-x86"
tavo_build windows-x86 --target vexa ruda tavo_spk
ctest --preset windows-x86 -j "$(nproc)"
stage_done windows-x86

echo "== linux-fuzz"
bash scripts/fuzz.sh smoke
stage_done "the fuzz smoke"
