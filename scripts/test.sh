#!/bin/sh
# Installs what is missing, builds Tolvenar with its tests and runs every test, then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer (skip that with TOLVENAR_NO_SANITIZE=1).
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVENAR_WERROR=ON
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"
if [ -z "$TOLVENAR_NO_SANITIZE" ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVENAR_SANITIZE=ON -DTOLVENAR_WERROR=ON
    cmake --build build-asan -j"$jobs"
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
        ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi
