#!/bin/sh
# Installs what is missing, builds Tolvenar with its tests and runs every test, then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer (skip that with TOLVENAR_NO_SANITIZE=1).
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
jobs=$(nproc)
presets=default
[ -n "$TOLVENAR_NO_SANITIZE" ] || presets="default sanitizers"
for preset in $presets; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs"
done
