#!/usr/bin/env bash
# Every test: builds plain and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite under both; then
# runs the tests of threads, sound and the speech library under
# ThreadSanitizer; and checks the naming rule with clang-tidy.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

for preset in linux linux-asan linux-tsan; do
    echo "== $preset"
    tavo_build "$preset"
    ctest --preset "$preset" -j "$(nproc)"
    if [ "$preset" = linux ]; then scripts/naming.sh; fi
done
