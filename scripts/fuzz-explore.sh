#!/usr/bin/env bash
# Open-ended fuzzing, for developers before they resolve work on a reader: each libFuzzer target
# runs coverage-guided from a fresh random seed for FUZZ_SECONDS (default 600) seconds, starting
# from the seed corpus and the kept failures. A failure stops the run and keeps its input; once
# fixed, the input belongs in the target's regressions folder (fuzz/dxfile/regressions for the X
# file targets, fuzz/xml/regressions, fuzz/gltf/regressions, fuzz/pipeline/regressions/import and
# .../export), which CI's smoke run and the tests replay.
#   scripts/fuzz-explore.sh                 every target
#   scripts/fuzz-explore.sh fuzz_x_binary   the targets named
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
seconds="${FUZZ_SECONDS:-600}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(fuzz_x_text fuzz_x_binary fuzz_x_compressed xml_fuzz gltf_fuzz fuzz_import_path
        fuzz_export_path)
fuzz_build "${targets[@]}" || exit 0

for target in "${targets[@]}"; do
    case "$target" in
    fuzz_x_*)
        fuzz_explore "$target" "$seconds" -dict=fuzz/dxfile/x.dict -- \
            "$(pwd)/../shared/corpus/x" fuzz/pipeline/seeds/x fuzz/dxfile/regressions ;;
    xml_fuzz)
        fuzz_explore "$target" "$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -- \
            fuzz/xml/corpus fuzz/xml/regressions ;;
    gltf_fuzz)
        GLTF_FUZZ_BASE="$(pwd)/../shared/corpus/gltf" fuzz_explore "$target" "$seconds" \
            -max_len=262144 -timeout=20 -rss_limit_mb=2048 -- \
            "$(pwd)/../shared/corpus/gltf" fuzz/pipeline/seeds/gltf fuzz/gltf/regressions ;;
    fuzz_import_path)
        fuzz_explore "$target" "$seconds" -dict=fuzz/dxfile/x.dict -max_len=65536 -timeout=60 \
            -rss_limit_mb=2048 -- "$(pwd)/../shared/corpus/x" fuzz/pipeline/seeds/x \
            fuzz/pipeline/regressions/import ;;
    fuzz_export_path)
        GLTF_FUZZ_BASE="$(pwd)/../shared/corpus/gltf" fuzz_explore "$target" "$seconds" \
            -max_len=65536 -timeout=60 -rss_limit_mb=2048 -- \
            "$(pwd)/../shared/corpus/gltf" fuzz/pipeline/seeds/gltf \
            fuzz/pipeline/regressions/export ;;
    *) echo "fuzz-explore: unknown target $target" >&2; exit 2 ;;
    esac
done
