#!/bin/sh
# Fails when a C++ file of the tree differs from .clang-format (CI runs this first).
# Reformat with:  git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh clang-format
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format: every C++ file matches .clang-format"
