#!/usr/bin/env bash
# Builds in release mode (preset bench) and runs every benchmark program; each measures our
# code and its floor or peer in the same run. Pass a filter to run only the programs whose
# name matches.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
bash scripts/build.sh bench
filter="${1:-}"
export QT_QPA_PLATFORM=offscreen
for b in $(find build/bench/bench -type f -executable -name 'bench_*' | sort); do
    name=$(basename "$b")
    [[ -n "$filter" && "$name" != *"$filter"* ]] && continue
    echo "== $name"
    "$b" --benchmark_counters_tabular=true
done
