#!/usr/bin/env bash
# Makes the machine ready and builds the installer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
FETCHORA_CMAKE_ARGS=-DFETCHORA_TESTS=OFF
. "$root/scripts/configure.sh"
setup=$build/installer/Setup.exe
if [ -f "$setup" ]; then
    echo "The installer is built: $setup"
else
    echo "Built the libraries in $build; the installer executable is not part of the build yet."
fi
