# Sourced by the fuzz scripts: the clang build into build-fuzz/, replaying fixed inputs, and
# open-ended fuzzing.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1

# fuzz_build TARGET...: builds the targets with clang; false (after saying so) without clang.
fuzz_build() {
    if ! command -v clang++ >/dev/null; then
        echo "fuzz: clang++ not found, $* skipped"
        return 1
    fi
    # Without clang there is nothing to fuzz with; a build that fails is a failure, not a skip.
    if ! CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMASET_BUILD_FUZZ=ON -DLUMASET_BUILD_TESTS=OFF -DLUMASET_BUILD_BENCH=OFF >/dev/null ||
        ! cmake --build build-fuzz --target "$@" --parallel "$(nproc)"; then
        echo "fuzz: the fuzz targets did not build"
        exit 1
    fi
}

# fuzz_replay TARGET [OPTION...] -- FOLDER...: runs TARGET once on every input in the folders
# that exist, without mutating them: the same inputs every time, whatever the build. On a failure
# it prints the end of the log and exits the script with 1.
fuzz_replay() {
    local target="$1"
    shift
    local options=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local inputs=()
    local count=0
    for folder in "$@"; do
        if [ -d "$folder" ]; then
            inputs+=("$folder")
            count=$((count + $(find "$folder" -maxdepth 1 -type f | wc -l)))
        fi
    done
    if [ ${#inputs[@]} -eq 0 ]; then
        echo "fuzz-smoke: $target, no inputs"
        return 0
    fi
    local log
    log="$(mktemp)"
    echo "fuzz-smoke: $target, $count fixed inputs"
    local started=$SECONDS
    # -runs=0: run the given inputs and stop; nothing is written back into the folders.
    if ! "build-fuzz/bin/$target" -runs=0 "${options[@]}" -print_final_stats=0 \
        "${inputs[@]}" >"$log" 2>&1; then
        tail -50 "$log"
        echo "fuzz-smoke: $target failed on one of the inputs above (log: $log)"
        exit 1
    fi
    echo "fuzz-smoke: $target passed in $((SECONDS - started))s"
    rm -f "$log"
}

# fuzz_mutations FOLDER COUNT SEED... [--dict FILE] [--max-len N]: writes COUNT inputs made from
# the seeds by fixed mutations (scripts/fuzz-mutate.py) into FOLDER.
fuzz_mutations() {
    python3 scripts/fuzz-mutate.py "$@"
}

# fuzz_explore TARGET SECONDS [OPTION...] -- [SEED_FOLDER...]: coverage-guided fuzzing for
# SECONDS from a fresh random seed. New inputs go to a scratch folder; seed folders are only read.
# On a failure it keeps the scratch folder with the failing input and exits the script with 1.
fuzz_explore() {
    local target="$1"
    local seconds="$2"
    shift 2
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
    echo "fuzz-explore: $target for ${seconds}s"
    if ! "build-fuzz/bin/$target" -max_total_time="$seconds" "${options[@]}" \
        -artifact_prefix="$work/" -print_final_stats=0 "${inputs[@]}" 2>"$work/log"; then
        tail -50 "$work/log"
        echo "fuzz-explore: $target found a failure; the input is in $work."
        echo "Fix it, then keep the input in the target's regressions folder."
        exit 1
    fi
    grep -E "^Done [0-9]+ runs" "$work/log" || tail -2 "$work/log"
    rm -rf "$work"
}
