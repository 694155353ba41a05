#!/usr/bin/env bash
# Installs what building and testing Lumaset needs on Debian 12. Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    zlib1g-dev
    clang libclang-rt-14-dev
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
