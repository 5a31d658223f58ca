#!/bin/sh
# Installs the Debian 12 packages needed to build, test and run Tolvenar (only what is missing),
# and any further packages named as arguments (the fuzz and package scripts add their tools).
set -e
# qt6-translations-l10n puts Qt's own dialogs into the user's language; poppler-utils (pdftotext)
# lets the tests read the text of a printed page.
pkgs="cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk libbenchmark-dev
      qt6-translations-l10n poppler-utils $*"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing
fi
