#!/bin/sh
# Builds the Debian package build-pkg/tolvenar_<version>_<arch>.deb from a Release build.
# Install it with:  sudo apt install ./build-pkg/tolvenar_*.deb
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
# dpkg-shlibdeps (dpkg-dev) and file work out the library dependencies of the package.
missing=""
for p in dpkg-dev file; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing
fi
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DTOLVENAR_BUILD_TESTS=OFF
cmake --build build-pkg -j"$(nproc)" --target tolvenar
rm -f build-pkg/tolvenar_*.deb
(cd build-pkg && cpack -G DEB)
ls -l build-pkg/tolvenar_*.deb
