#!/usr/bin/env bash
# Runs two builds of veltrano-report over the same images and says whether their output is
# byte for byte the same: the JSON report in every time unit and the three CSV exports, with
# a decimal point and a decimal comma, for
# the demo recording, the event-rich recording and the images built from fuzz/seeds/*.txt.
# Usage: scripts/compare-reports.sh REFERENCE_BUILD_DIR [BUILD_DIR]   (BUILD_DIR: build/ci)
# The images are made with the imagegen of BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
reference=$1
build=${2:-build/ci}
tool() { echo "$1/tools/veltrano-report/veltrano-report"; }
gen=$build/tools/imagegen/veltrano-imagegen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$gen" demo "$work/demo.img"
"$gen" events "$work/events.img"
for s in fuzz/seeds/*.txt; do
    "$gen" script "$s" "$work/seed-$(basename "$s" .txt).img"
done

differ=0
compare() {
    local name=$1
    shift
    env LC_ALL="$locale" "$(tool "$reference")" "$@" >"$work/before" 2>&1 || true
    env LC_ALL="$locale" "$(tool "$build")" "$@" >"$work/after" 2>&1 || true
    if cmp -s "$work/before" "$work/after"; then
        echo "same      $name ($(wc -c <"$work/after") bytes)"
    else
        echo "DIFFERENT $name"
        differ=1
    fi
}
# Qt reads the locale from LC_ALL itself, whatever locales the system has installed.
for locale in C.UTF-8 nl_NL.UTF-8; do
    for image in "$work"/*.img; do
        base="$(basename "$image" .img) $locale"
        for unit in seconden minuten uren dagen weken; do
            compare "$base json $unit" --format json --unit "$unit" "$image"
        done
        for kind in spanning temperatuur calamiteiten; do
            compare "$base $kind" --export "$kind" "$image"
        done
    done
done
exit $differ
