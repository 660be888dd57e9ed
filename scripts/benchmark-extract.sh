#!/usr/bin/env bash
# Measures the installer's archive extraction on a payload the size of the product's (about
# 118 MB: a few large incompressible binaries and a couple of thousand small text files), against
# a native unzip and a plain copy of the same files. Prints the times and the peak private memory
# of the extracting process.
#   scripts/benchmark-extract.sh          (FETCHORA_BUILD_DIR chooses the build folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}
work=$build/bench-extract
payload=$work/payload
archive=$work/payload.zip

if [ ! -f "$build/build.ninja" ]; then
    "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DFETCHORA_DEPS_PREFIX="${FETCHORA_DEPS_DIR:-$build/deps}" >/dev/null
fi
cmake --build "$build" --target ExtractBench >/dev/null
bench=$build/tests/bench/ExtractBench.exe

# The payload is made once and reused.
if [ ! -f "$archive" ]; then
    rm -rf "$payload"
    mkdir -p "$payload/bin"
    for i in 1 2 3 4; do
        head -c $((25 * 1024 * 1024)) /dev/urandom >"$payload/bin/module$i.bin"
    done
    for i in $(seq 1 2000); do
        dir=$payload/resources/group$((i % 40))/set$((i % 7))
        mkdir -p "$dir"
        for j in $(seq 1 90); do
            echo "resource $i line $j: the quick brown fox jumps over the lazy dog"
        done >"$dir/item$i.txt"
    done
    # Every entry Deflate-compressed, also the incompressible ones, as in the installer's own archive.
    python3 - "$payload" "$archive" <<'PY'
import os, sys, zipfile
payload, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in sorted(os.walk(payload)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, payload))
PY
fi

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

. "$root/scripts/wine-env.sh"
# A persistent wineserver with the prefix's services already up, so that only the extraction is timed.
# A server that already runs for this prefix (a test run) is used and left alone.
if wineserver -p 2>/dev/null; then
    trap 'wineserver -k 2>/dev/null || true' EXIT
fi
wine cmd /c exit >/dev/null 2>&1 </dev/null

rm -rf "$work/out-setup" "$work/out-unzip" "$work/out-copy"
start=$(now)
report=$(wine "$bench" "Z:${archive//\//\\}" "Z:${work//\//\\}\\out-setup" </dev/null 2>&1 | tr -d '\r')
setup_wall=$(elapsed "$start" "$(now)")
start=$(now)
unzip -q -o "$archive" -d "$work/out-unzip"
unzip_time=$(elapsed "$start" "$(now)")
start=$(now)
cp -r "$payload" "$work/out-copy"
copy_time=$(elapsed "$start" "$(now)")

value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$report"; }
if [ -z "$(value seconds)" ]; then
    echo "The extraction failed: $report" >&2
    exit 1
fi
diff -r -q "$payload" "$work/out-setup" >/dev/null || { echo "The extracted files differ from the payload." >&2; exit 1; }

echo "payload:           $(du -sb "$payload" | cut -f1) bytes in $(find "$payload" -type f | wc -l) files;" \
    "archive $(stat -c %s "$archive") bytes"
echo "our extraction:    $(value seconds) s in the process, $setup_wall s with Wine's start"
echo "native unzip:      $unzip_time s"
echo "copy (cp -r):      $copy_time s"
echo "ratio to unzip:    $(awk -v a="$(value seconds)" -v b="$unzip_time" 'BEGIN { printf "%.2f", a / b }') (goal: at most 2)"
# Wine fills PeakPagefileUsage (the peak private memory) but leaves PrivateUsage at 0.
echo "private memory:    peak $(value peak_private_mib) MiB (goal: under 64), at the end $(value private_mib) MiB;" \
    "peak working set $(value peak_working_set_mib) MiB"
rm -rf "$work/out-setup" "$work/out-unzip" "$work/out-copy"
