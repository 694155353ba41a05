#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each, seeded with the X file
# corpus. By default each target makes a fixed number of runs from a fixed random seed, so a
# passing smoke run passes again anywhere the same code is built. To explore, fuzz for a time
# with a fresh seed instead: FUZZ_SECONDS=600 scripts/fuzz-smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-budget.sh
if ! command -v clang++ >/dev/null; then
    echo "fuzz-smoke: clang++ not found, skipped"
    exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMASET_BUILD_FUZZ=ON -DLUMASET_BUILD_TESTS=OFF -DLUMASET_BUILD_BENCH=OFF >/dev/null
targets=(fuzz_x_text fuzz_x_binary fuzz_x_compressed)
cmake --build build-fuzz --target "${targets[@]}" --parallel "$(nproc)"

seeds="$(pwd)/../shared/corpus/x"
regressions="$(pwd)/fuzz/dxfile/regressions"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
for target in "${targets[@]}"; do
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    inputs=("$work")
    [ -d "$seeds" ] && inputs+=("$seeds")
    [ -d "$regressions" ] && inputs+=("$regressions")
    echo "fuzz-smoke: $target, $budget_text"
    # The first folder receives new inputs; the seed folders are only read.
    "build-fuzz/bin/$target" "${budget[@]}" -dict=fuzz/dxfile/x.dict \
        -artifact_prefix="$work/" -print_final_stats=0 "${inputs[@]}" 2>"$work/log" || {
        tail -50 "$work/log"
        echo "fuzz-smoke: $target found a failure; the input is in $work"
        trap - EXIT
        exit 1
    }
    grep -E "^#[0-9]+ *DONE" "$work/log" || tail -2 "$work/log"
    rm -rf "$work"
    trap - EXIT
done
# The settings file's XML reader has its own target and corpus.
scripts/fuzz-smoke-xml.sh
