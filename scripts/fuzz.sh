#!/usr/bin/env bash
# The fuzz targets of fuzz/ (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer).
#
#   bash scripts/fuzz.sh smoke [SECONDS]   every target for SECONDS (20 by
#                                          default) on its committed seeds,
#                                          a target a core at a time; a
#                                          crash fails (the test command).
#                                          The targets of the linux-asan
#                                          build, which the test command
#                                          has just built for its suite
#   bash scripts/fuzz.sh run TARGET RUNS   a campaign of RUNS executions of
#                                          one target, at the lowest
#                                          priority, keeping what it finds
#                                          in build/linux-fuzz/corpus/TARGET;
#                                          the optimised linux-fuzz build
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

preset=linux-fuzz
[ "${1:-smoke}" = smoke ] && preset=linux-asan
tavo_build $preset
fuzzers=build/$preset/fuzz
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer

# fuzz_one NAME CORPUS ARGS...: runs a target; its findings go to CORPUS,
# crashes beside it.
fuzz_one() {
    local name=$1 corpus=$2
    shift 2
    mkdir -p "$corpus"
    ${launcher:-} "$fuzzers/fuzz_$name" -artifact_prefix="$corpus/../$name-" -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 "$@" "$corpus" "fuzz/corpus/$name"
}

case "${1:-smoke}" in
smoke)
    seconds=${2:-20}
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # As many targets at a time as there are cores; each reports when all
    # of its batch are done.
    binaries=("$fuzzers"/fuzz_*)
    batch=$(nproc)
    for ((first = 0; first < ${#binaries[@]}; first += batch)); do
        pids=()
        names=()
        for binary in "${binaries[@]:first:batch}"; do
            name=${binary##*/fuzz_}
            echo "== fuzz $name (${seconds} s)"
            fuzz_one "$name" "$work/$name/corpus" -max_total_time="$seconds" \
                >"$work/$name.log" 2>&1 &
            pids+=($!)
            names+=("$name")
        done
        for i in "${!pids[@]}"; do
            name=${names[$i]}
            if ! wait "${pids[$i]}"; then
                tail -n 60 "$work/$name.log"
                echo "fuzz $name: FAILED" >&2
                exit 1
            fi
            grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$work/$name.log" | tail -n 2
        done
    done
    ;;
run)
    name=${2:?target name}
    runs=${3:?number of executions}
    launcher="nice -n 19" fuzz_one "$name" "build/linux-fuzz/corpus/$name/queue" -runs="$runs"
    ;;
*)
    echo "usage: bash scripts/fuzz.sh smoke [SECONDS] | run TARGET RUNS" >&2
    exit 2
    ;;
esac
