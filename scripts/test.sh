#!/usr/bin/env bash
# Every test: builds plain and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite under both.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

for preset in linux linux-asan; do
    echo "== $preset"
    tavo_build "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
