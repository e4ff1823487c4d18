#!/usr/bin/env bash
# Sets up everything, builds the Debian package (cpack -G DEB) and installs it on this machine.
# NO_INSTALL=1 only builds it. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
TARGETS="pennavox pennavox-cli pennavox-clock-sim" bash scripts/build.sh
(cd "$BUILD_DIR" && rm -f pennavox_*.deb && cpack -G DEB >/dev/null)
deb="$(ls "$PWD/$BUILD_DIR"/pennavox_*.deb)"
echo "$deb"
if [ "${NO_INSTALL:-}" != "1" ]; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$deb"
fi
