# Sourced by the fuzz-smoke scripts: the run budget, the clang build into build-fuzz/, and one
# fuzzing run with its report.
#
# Budget:
#   default          FUZZ_RUNS runs (10000) from FUZZ_SEED (1): repeatable, for CI; a target
#                    whose runs are cheap takes a multiple (FUZZ_SCALE, set per call). A time
#                    cap of ten minutes keeps a slow machine from running on.
#   FUZZ_SECONDS=N   N seconds from a fresh random seed: exploration by hand.
fuzz_budget() {
    if [ -n "${FUZZ_SECONDS:-}" ]; then
        budget=(-max_total_time="$FUZZ_SECONDS")
        budget_text="${FUZZ_SECONDS}s from a fresh seed"
    else
        local runs=$(( ${FUZZ_RUNS:-10000} * ${FUZZ_SCALE:-1} ))
        budget=(-runs="$runs" -seed="${FUZZ_SEED:-1}" -max_total_time=600)
        budget_text="$runs runs from seed ${FUZZ_SEED:-1}"
    fi
}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1

# fuzz_build TARGET...: builds the targets with clang; false (after saying so) without clang.
fuzz_build() {
    if ! command -v clang++ >/dev/null; then
        echo "fuzz-smoke: clang++ not found, $* skipped"
        return 1
    fi
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMASET_BUILD_FUZZ=ON -DLUMASET_BUILD_TESTS=OFF -DLUMASET_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz --target "$@" --parallel "$(nproc)"
}

# fuzz_run TARGET [OPTION...] -- [SEED_FOLDER...]: fuzzes TARGET within the budget. New inputs go
# to a scratch folder; seed folders that exist are only read. On a failure it prints the end of
# the log, keeps the scratch folder with the failing input, and exits the script with 1.
fuzz_run() {
    local target="$1"
    shift
    local options=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local work
    work="$(mktemp -d)"
    local inputs=("$work")
    for folder in "$@"; do
        [ -d "$folder" ] && inputs+=("$folder")
    done
    fuzz_budget
    echo "fuzz-smoke: $target, $budget_text"
    if ! "build-fuzz/bin/$target" "${budget[@]}" "${options[@]}" -artifact_prefix="$work/" \
        -print_final_stats=0 "${inputs[@]}" 2>"$work/log"; then
        tail -50 "$work/log"
        echo "fuzz-smoke: $target found a failure; the input is in $work"
        exit 1
    fi
    grep -E "^Done [0-9]+ runs" "$work/log" || tail -2 "$work/log"
    rm -rf "$work"
}
