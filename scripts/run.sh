#!/usr/bin/env bash
# Makes the machine ready, builds the installer (no tests) and performs a real silent
# installation of the demo product in the project's Wine prefix, then shows where
# everything landed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
FETCHORA_CMAKE_ARGS=-DFETCHORA_TESTS=OFF
. "$root/scripts/configure.sh"
. "$root/scripts/wine-env.sh"

setup=$build/installer/Setup.exe
echo "The installer is built: $setup"
folder='C:\Program Files\Fetchora'
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Fetchora'

# Started from cmd, the installer writes its progress lines to that console.
echo
echo "> Setup.exe -silent -alluser -installpath \"$folder\""
status=0
(cd "$build/installer" && wine cmd /c Setup.exe -silent -alluser -installpath "$folder") </dev/null || status=$?
echo "Exit code: $status"
[ "$status" -eq 0 ] || exit "$status"

unix_folder=$(wine winepath -u "$folder" 2>/dev/null | tr -d '\r')
echo
echo "Installation folder: $folder ($unix_folder)"
ls -l "$unix_folder"
echo
echo "Shortcuts:"
find "$WINEPREFIX/drive_c/users" -name 'Fetchora.lnk' | sed 's/^/  /'
echo
echo "Uninstall record:"
wine reg query "$key" </dev/null | tr -d '\r' | sed '/^$/d'
echo
echo "Install report ($folder\\InstallReport.ini):"
iconv -f UTF-16 -t UTF-8 "$unix_folder/InstallReport.ini" | tr -d '\r'
