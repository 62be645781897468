#!/usr/bin/env bash
# The test suite under sanitizers. Usage: scripts/sanitize.sh [asan|tsan|all]   (asan)
#   asan  the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer (no recovery)
#   tsan  the threaded parts (tests labelled "threads": the window's runs and exports, the
#         serial link and its messages, CSV lanes, the summary over many images) under
#         ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
which="${1:-asan}"
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "$which" = asan ] || [ "$which" = all ]; then
    bash scripts/build.sh asan
    ctest --preset asan
fi
if [ "$which" = tsan ] || [ "$which" = all ]; then
    bash scripts/build.sh tsan
    ctest --preset tsan
fi
