#!/usr/bin/env bash
# Installs the Debian packages that a command of this project needs; does nothing when all are
# present. Usage: scripts/install-deps.sh [run|test|bench|package]   (test)
#   run      build and run the viewer, with the simulated logger
#   test     the test command: the suite, its install checks, fuzzing, sanitizers, benchmarks
#   bench    the benchmarks
#   package  the Debian packages and their lintian check
# Set VELTRANO_SKIP_DEPS=1 to skip it, on a machine whose packages you manage yourself.
set -euo pipefail

if [ "${VELTRANO_SKIP_DEPS:-0}" != 0 ]; then
  exit 0
fi

build=(g++ cmake ninja-build pkg-config gzip
       qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev libudev-dev
       qt6-translations-l10n)    # Qt's own texts in Dutch
fonts=(fonts-liberation fonts-dejavu-core) # the desktop's usual faces, for the layout tests
simulator=(umockdev libumockdev-dev)      # the fake USB logger
benchmark=(libbenchmark-dev)
fuzz=(clang libclang-rt-14-dev)
# Validators of the installed desktop files, metainfo, file type, man pages and udev rule.
checks=(desktop-file-utils appstream libxml2-utils shared-mime-info man-db groff-base)
package=(dpkg-dev file lintian)

case "${1:-test}" in
  run)     packages=("${build[@]}" "${fonts[@]}" "${simulator[@]}") ;;
  test)    packages=("${build[@]}" "${fonts[@]}" "${simulator[@]}" "${benchmark[@]}"
                     "${fuzz[@]}" "${checks[@]}") ;;
  bench)   packages=("${build[@]}" "${simulator[@]}" "${benchmark[@]}") ;;
  package) packages=("${build[@]}" "${simulator[@]}" "${package[@]}") ;;
  *) echo "usage: $0 [run|test|bench|package]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
