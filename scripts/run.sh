#!/usr/bin/env bash
# Installs what is missing, builds in release mode and starts the viewer with a simulated
# logger attached (a fake USB device whose serial port is answered by qlo-sim, holding the
# demo recording). Pass --real to start the viewer alone, for a real logger. Builds only the
# programs it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
bin=build/release
if [ "${1:-}" = "--real" ]; then
    shift
    bash scripts/build.sh release veltrano
    exec "$bin/src/app/veltrano" "$@"
fi
bash scripts/build.sh release veltrano qlo-sim veltrano-imagegen
demo=$bin/demo.img
[ -f "$demo" ] || "$bin/tools/imagegen/veltrano-imagegen" demo "$demo"
exec umockdev-wrapper "$bin/tools/qlo-sim/qlo-sim" --image "$demo" --umockdev -- "$bin/src/app/veltrano" "$@"
