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

for preset in windows-x64 windows-x86; do
    echo "== $preset"
    # The x64 build made the setup program from both architectures'
    # modules; the x86 one's tests need its modules alone.
    targets=()
    [ "$preset" = windows-x86 ] && targets=(--target vexa ruda tavo_spk)
    tavo_build "$preset" "${targets[@]}"
    ctest --preset "$preset" -j "$(nproc)"
    stage_done "$preset"
done

echo "== linux-fuzz"
bash scripts/fuzz.sh smoke
stage_done "the fuzz smoke"
