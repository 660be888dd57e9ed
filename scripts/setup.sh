#!/usr/bin/env bash
# Makes a fresh machine ready to build and test: Debian packages, the cross-built
# libraries and the project's Wine prefix. Safe to run again; it skips what is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}

packages=(
    g++-mingw-w64-x86-64-posix cmake ninja-build
    wine wine64 xvfb xauth imagemagick
    libz-mingw-w64-dev googletest nlohmann-json3-dev
    dpkg-dev unzip zip python3
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

"$root/scripts/build-deps.sh" "${FETCHORA_DEPS_DIR:-$build/deps}"
"$root/scripts/wine-prefix.sh" "$build"
