#!/usr/bin/env bash
# Makes the machine ready, builds everything and runs the whole test suite under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
FETCHORA_CMAKE_ARGS=-DFETCHORA_TESTS=ON
. "$root/scripts/configure.sh"
. "$root/scripts/wine-env.sh"
export FETCHORA_CTEST_ARGS="$*"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/ctest-under-wine.sh" "$build"
