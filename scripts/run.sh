#!/bin/sh
# Installs what is missing, builds Tolvenar and starts it.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)" --target tolvenar
exec build/tolvenar
