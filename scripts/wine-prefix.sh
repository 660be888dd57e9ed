#!/usr/bin/env bash
# Creates the project's Wine prefix under the build folder, once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
. "$root/scripts/wine-env.sh"
[ -f "$WINEPREFIX/.fetchora-ready" ] && exit 0

mkdir -p "$HOME"
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w

# Shell folders become real folders of the prefix, never links out of it.
users="$WINEPREFIX/drive_c/users"
for dir in "$users"/*/; do
    for link in "$dir"* "$dir"AppData/Roaming/Microsoft/Windows/Templates; do
        if [ -L "$link" ]; then
            rm "$link"
            mkdir -p "$link"
        fi
    done
done
touch "$WINEPREFIX/.fetchora-ready"
echo "wine: prefix ready in $WINEPREFIX"
