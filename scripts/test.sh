#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless; then a short run
# of every fuzz target and the suite again under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
bash scripts/build.sh ci
export QT_QPA_PLATFORM=offscreen
ctest --preset ci -j2
bash scripts/fuzz.sh 20
bash scripts/sanitize.sh asan
