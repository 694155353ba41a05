#!/usr/bin/env bash
# Installs what building and testing Lumaset needs on Debian 12. Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    zlib1g-dev
    # Inflates compressed X files faster than zlib alone; the build works without it.
    libdeflate-dev
    libtinygltf-dev
    clang libclang-rt-14-dev clang-format-14 python3
    # The benchmarks' peers (assimp's library and its "assimp" program) and a profiler; the build
    # works without them.
    libassimp-dev assimp-utils linux-perf
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
# The glTF validator the tests run needs node and npm; keep a node already installed.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    packages+=(nodejs npm)
fi
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Khronos glTF validator, at the version package-lock.json pins, into tools/validator/.
validator="$(cd "$(dirname "$0")/.." && pwd)/tools/validator"
if [ ! -f "$validator/node_modules/gltf-validator/package.json" ] ||
    [ "$validator/package-lock.json" -nt "$validator/node_modules/.package-lock.json" ]; then
    (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error)
fi
