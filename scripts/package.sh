#!/bin/sh
# Builds the Debian package build-pkg/tolvenar_<version>_<arch>.deb from a Release build (hardened
# with the flags of dpkg-buildflags, see CMakeLists.txt) and checks it with lintian.
# Install it with:  sudo apt install ./build-pkg/tolvenar_*.deb
set -e
cd "$(dirname "$0")/.."
# dpkg-shlibdeps (dpkg-dev) and file work out the library dependencies of the package.
scripts/setup-deps.sh dpkg-dev file lintian
cmake --preset release
cmake --build --preset release -j"$(nproc)"
rm -f build-pkg/tolvenar_*.deb
(cd build-pkg && cpack -G DEB)
ls -l build-pkg/tolvenar_*.deb
# A hardening tag means that the package was not built with the distribution's flags.
lintian --tag-display-limit 0 build-pkg/tolvenar_*.deb | tee build-pkg/lintian.txt || true
if grep -q 'hardening' build-pkg/lintian.txt; then
    echo "lintian reports missing hardening" >&2
    exit 1
fi
