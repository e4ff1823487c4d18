#!/usr/bin/env bash
# Sets up everything, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd "${BUILD_DIR:-build}" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${JOBS:-2}")
# Again as a German club's PC on European time: nothing stored or written may depend on either.
(cd "${BUILD_DIR:-build}" && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Europe/Brussels QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure -j"${JOBS:-2}")
# The Debian package installed, started and removed (as root only: it installs into the machine).
if [ "$(id -u)" -eq 0 ]; then
    bash scripts/package-test.sh
else
    echo "package test skipped: run scripts/test.sh as root to install, start and remove the package"
fi
