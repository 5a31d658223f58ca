#!/bin/sh
# Builds the Debian package build-pkg/tolvenar_<version>_<arch>.deb from a Release build.
# Install it with:  sudo apt install ./build-pkg/tolvenar_*.deb
set -e
cd "$(dirname "$0")/.."
# dpkg-shlibdeps (dpkg-dev) and file work out the library dependencies of the package.
scripts/setup-deps.sh dpkg-dev file
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DTOLVENAR_BUILD_TESTS=OFF
cmake --build build-pkg -j"$(nproc)" --target tolvenar
rm -f build-pkg/tolvenar_*.deb
(cd build-pkg && cpack -G DEB)
ls -l build-pkg/tolvenar_*.deb
