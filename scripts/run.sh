#!/bin/sh
# Installs what is missing, builds Tolvenar and starts it.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tolvenar
exec build/tolvenar
