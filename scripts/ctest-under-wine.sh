#!/usr/bin/env bash
# Runs ctest with one persistent wineserver for the whole run, so that each test starts
# quickly. Wine's background services start first with their output going nowhere: they
# would otherwise inherit the first test's output pipe and hold it open.
set -euo pipefail
build=$1
# Wine has no timeout.exe, which the self-deletion commands rely on: the prefix gets ours.
if [ -f "$build/tests/tools/timeout.exe" ]; then
    cp "$build/tests/tools/timeout.exe" "$WINEPREFIX/drive_c/windows/system32/timeout.exe"
fi
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wine cmd /c exit >/dev/null 2>&1 </dev/null
# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" ${FETCHORA_CTEST_ARGS:-}
