#!/usr/bin/env bash
# CI's fuzz run: builds the libFuzzer targets with clang into build-fuzz/ and runs each on fixed
# inputs only: the seed corpus, every input that ever made a target fail (the regressions folder
# beside each target: fuzz/dxfile/regressions, fuzz/xml/regressions, fuzz/gltf/regressions,
# fuzz/pipeline/regressions/import and .../export), and inputs made from those by fixed mutations
# (scripts/fuzz-mutate.py). The inputs depend on nothing but the checked-in files and the shared
# corpus, so every build gives the same verdict. FUZZ_MUTATIONS sets how many mutated inputs each
# file-format target gets (default 3000), FUZZ_PIPELINE_MUTATIONS each whole-path target (default
# 2000: one input there runs the whole import or export).
# Open-ended, coverage-guided fuzzing is scripts/fuzz-explore.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
x_targets=(fuzz_x_text fuzz_x_binary fuzz_x_compressed)
pipeline_targets=(fuzz_import_path fuzz_export_path)
fuzz_build "${x_targets[@]}" xml_fuzz gltf_fuzz "${pipeline_targets[@]}" || exit 0

mutations="${FUZZ_MUTATIONS:-3000}"
pipeline_mutations="${FUZZ_PIPELINE_MUTATIONS:-2000}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

x_seeds=("$(pwd)/../shared/corpus/x" fuzz/pipeline/seeds/x fuzz/dxfile/regressions)
fuzz_mutations "$scratch/x" "$mutations" "${x_seeds[@]}" --dict fuzz/dxfile/x.dict --max-len 262144
for target in "${x_targets[@]}"; do
    fuzz_replay "$target" -- "${x_seeds[@]}" "$scratch/x"
done

xml_seeds=(fuzz/xml/corpus fuzz/xml/regressions)
fuzz_mutations "$scratch/xml" "$mutations" "${xml_seeds[@]}" --max-len 4096
fuzz_replay xml_fuzz -timeout=10 -rss_limit_mb=2048 -- "${xml_seeds[@]}" "$scratch/xml"

# The glTF seeds name external buffers; GLTF_FUZZ_BASE lets the target find them.
gltf_seeds=("$(pwd)/../shared/corpus/gltf" fuzz/pipeline/seeds/gltf fuzz/gltf/regressions)
[ -d "${gltf_seeds[0]}" ] || echo "fuzz-smoke: no glTF corpus at ${gltf_seeds[0]}"
fuzz_mutations "$scratch/gltf" "$mutations" "${gltf_seeds[@]}" --max-len 262144
GLTF_FUZZ_BASE="${gltf_seeds[0]}" fuzz_replay gltf_fuzz -timeout=20 -rss_limit_mb=2048 -- \
    "${gltf_seeds[@]}" "$scratch/gltf"

# The whole paths, on the same kinds of seeds; their inputs are kept smaller, for time.
import_seeds=("$(pwd)/../shared/corpus/x" fuzz/pipeline/seeds/x fuzz/pipeline/regressions/import)
fuzz_mutations "$scratch/import" "$pipeline_mutations" "${import_seeds[@]}" \
    --dict fuzz/dxfile/x.dict --max-len 65536
fuzz_replay fuzz_import_path -timeout=60 -rss_limit_mb=2048 -- "${import_seeds[@]}" "$scratch/import"

export_seeds=("$(pwd)/../shared/corpus/gltf" fuzz/pipeline/seeds/gltf fuzz/pipeline/regressions/export)
fuzz_mutations "$scratch/export" "$pipeline_mutations" "${export_seeds[@]}" --max-len 65536
GLTF_FUZZ_BASE="${gltf_seeds[0]}" fuzz_replay fuzz_export_path -timeout=60 -rss_limit_mb=2048 -- \
    "${export_seeds[@]}" "$scratch/export"
echo "fuzz-smoke: every input passed"
