#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each: the X file reader in its
# three encodings (seeded with the X file corpus), the settings file's XML reader and the host
# program's glTF reader. By default each target makes a fixed number of runs from a fixed random
# seed: bounded, and independent of the machine's speed (a build elsewhere may still differ in
# the inputs it tries, as addresses feed the mutations). To explore, fuzz for a time with a fresh
# seed instead: FUZZ_SECONDS=600 scripts/fuzz-smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
x_targets=(fuzz_x_text fuzz_x_binary fuzz_x_compressed)
fuzz_build "${x_targets[@]}" xml_fuzz gltf_fuzz || exit 0

for target in "${x_targets[@]}"; do
    fuzz_run "$target" -dict=fuzz/dxfile/x.dict -- "$(pwd)/../shared/corpus/x" fuzz/dxfile/regressions
done
fuzz_run xml_fuzz -max_len=4096 -timeout=10 -rss_limit_mb=2048 -- fuzz/xml/corpus
# The glTF seeds name external buffers; GLTF_FUZZ_BASE lets the target find them. Its runs are
# cheap: it takes twenty times the runs.
gltf_seeds="$(pwd)/../shared/corpus/gltf"
[ -d "$gltf_seeds" ] || echo "fuzz-smoke: no glTF corpus at $gltf_seeds; gltf_fuzz starts from nothing"
GLTF_FUZZ_BASE="$gltf_seeds" FUZZ_SCALE=20 fuzz_run gltf_fuzz -max_len=262144 -timeout=20 -rss_limit_mb=2048 -- "$gltf_seeds"
