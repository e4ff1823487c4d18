#!/usr/bin/env bash
# Configures and builds Pennavox into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
extra=()
if [ "${CI:-}" = "true" ]; then extra+=(-DPENNAVOX_WERROR=ON); fi
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${extra[@]}" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-2}"
