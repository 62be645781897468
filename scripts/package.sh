#!/usr/bin/env bash
# Builds the Debian packages (veltrano and qlo-sim) from a release build into build/release
# and checks them with lintian; prints what lintian reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package
bash scripts/build.sh release
(cd build/release && cpack -G DEB)
for deb in build/release/*.deb; do
    echo "== $deb"
    dpkg-deb --field "$deb" Package Version Depends Recommends
done
lintian --info build/release/*.deb
