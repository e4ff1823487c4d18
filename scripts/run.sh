#!/usr/bin/env bash
# Sets up everything, builds, and starts the program. Extra arguments go to the program
# (for example --demo, or --data DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
TARGETS="pennavox pennavox-cli pennavox-clock-sim" bash scripts/build.sh
exec ./"${BUILD_DIR:-build}"/app/pennavox "$@"
