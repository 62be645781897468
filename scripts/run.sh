#!/usr/bin/env bash
# Installs what is missing, builds in release mode and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
exec build/release/src/app/veltrano "$@"
