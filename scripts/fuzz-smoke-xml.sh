#!/usr/bin/env bash
# Builds the XML reader's libFuzzer target with clang (in build-fuzz/) and fuzzes it briefly,
# starting from the odd inputs in fuzz/xml/corpus: a fixed number of runs from a fixed seed, or
# FUZZ_SECONDS of fresh exploration. Without clang it says so and succeeds, as there is nothing
# to run.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-budget.sh
if ! command -v clang++ >/dev/null; then
    echo "fuzz-smoke-xml: clang++ not found, skipped"
    exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMASET_BUILD_FUZZ=ON -DLUMASET_BUILD_TESTS=OFF -DLUMASET_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target xml_fuzz --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "fuzz-smoke-xml: xml_fuzz, $budget_text"
# New inputs go to the scratch folder; the committed corpus is only read.
build-fuzz/bin/xml_fuzz "${budget[@]}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" -print_final_stats=0 "$work" fuzz/xml/corpus 2>"$work/log" || {
    tail -50 "$work/log"
    echo "fuzz-smoke-xml: xml_fuzz found a failure; the input is in $work"
    trap - EXIT
    exit 1
}
grep -E "^#[0-9]+ *DONE" "$work/log" || tail -2 "$work/log"
