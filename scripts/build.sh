#!/usr/bin/env bash
# Configures and builds Pennavox into build/ (or $BUILD_DIR); TARGETS="a b" builds only those.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
extra=()
if [ "${CI:-}" = "true" ]; then extra+=(-DPENNAVOX_WERROR=ON); fi
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${extra[@]}" "$@" >/dev/null
# TARGETS limits the build (the run script needs only the programs, not the tests).
targets=()
for t in ${TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" "${targets[@]}"
