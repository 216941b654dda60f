#!/bin/sh
# Installs the Debian packages QvsStudio needs to build, test and run.
# Safe to run again: packages already present are not touched, and the
# package lists are refreshed only when something has to be installed.
set -eu

PACKAGES="g++ clang cmake ninja-build make
qt6-base-dev qt6-serialbus-dev qt6-svg-dev qt6-pdf-dev libqt6svg6 libqt6pdfwidgets6
googletest libgmock-dev libgtest-dev libbenchmark-dev
xvfb xauth fonts-dejavu-core"

missing=""
for p in $PACKAGES; do
    if ! dpkg -s "$p" >/dev/null 2>&1; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
