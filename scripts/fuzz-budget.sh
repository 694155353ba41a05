# Sourced by the fuzz-smoke scripts: how long each target runs, as libFuzzer options in `budget`
# and a few words in `budget_text`.
#   default          FUZZ_RUNS runs (10000) from FUZZ_SEED (1): repeatable, for CI;
#                    a time cap of ten minutes keeps a slow machine from running on.
#   FUZZ_SECONDS=N   N seconds from a fresh random seed: exploration by hand.
if [ -n "${FUZZ_SECONDS:-}" ]; then
    budget=(-max_total_time="$FUZZ_SECONDS")
    budget_text="${FUZZ_SECONDS}s from a fresh seed"
else
    budget=(-runs="${FUZZ_RUNS:-10000}" -seed="${FUZZ_SEED:-1}" -max_total_time=600)
    budget_text="${FUZZ_RUNS:-10000} runs from seed ${FUZZ_SEED:-1}"
fi
