#!/usr/bin/env bash
# Makes the manual's screenshots again from the demo: the demo road test walks the demo club
# through a race day and saves every page it passes into docs/manual/images.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" --target test_demo_road
out="$PWD/docs/manual/images"
mkdir -p "$out"
if command -v xvfb-run >/dev/null; then
    PENNAVOX_SHOTS="$out" xvfb-run --auto-servernum -s "-screen 0 1440x900x24" "$BUILD_DIR/tests/e2e/test_demo_road"
else
    PENNAVOX_SHOTS="$out" QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tests/e2e/test_demo_road"
fi
echo "Screenshots in $out"
