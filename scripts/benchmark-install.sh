#!/usr/bin/env bash
# Measures a silent installation by the real Setup.exe of a payload the size of the product's
# (about 118 MB: a few large incompressible binaries and a couple of thousand small text
# files) against a native unzip of the same archive and a plain copy of the same files, and
# reports the installer's peak private memory.
#   scripts/benchmark-install.sh          (FETCHORA_BUILD_DIR chooses the build folder)
# The installer is built with this payload in a build folder of its own and runs in a Wine
# prefix of its own, so that neither the project's build nor its prefix is touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FETCHORA_BUILD_DIR:-$root/build}
work=$build/bench-install
payload=$work/payload
archive=$work/payload.zip

"$root/scripts/setup.sh" >/dev/null

# The payload is made once and reused.
if [ ! -f "$archive" ]; then
    rm -rf "$payload"
    mkdir -p "$payload/bin"
    # The product's main executable, whose presence the installation checks, is the first of them.
    head -c $((25 * 1024 * 1024)) /dev/urandom >"$payload/Fetchora.exe"
    for i in 1 2 3; do
        head -c $((25 * 1024 * 1024)) /dev/urandom >"$payload/bin/module$i.bin"
    done
    for i in $(seq 1 2000); do
        dir=$payload/resources/group$((i % 40))/set$((i % 7))
        mkdir -p "$dir"
        for j in $(seq 1 90); do
            echo "resource $i line $j: the quick brown fox jumps over the lazy dog"
        done >"$dir/item$i.txt"
    done
    # Every entry Deflate-compressed, also the incompressible ones, as in the product's own archive.
    python3 - "$payload" "$archive.part" <<'PY'
import os, sys, zipfile
payload, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in sorted(os.walk(payload)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, payload))
PY
    mv "$archive.part" "$archive"
fi

echo "Building the installer with the benchmark payload..."
(
    export FETCHORA_DEPS_DIR=${FETCHORA_DEPS_DIR:-$build/deps}
    FETCHORA_CMAKE_ARGS="-DFETCHORA_PAYLOAD=$archive"
    FETCHORA_BUILD_TARGETS="Setup ProcessMeter"
    build=$work/build
    . "$root/scripts/configure.sh" >/dev/null
)
setup=$work/build/installer/Setup.exe
meter=$work/build/tests/bench/ProcessMeter.exe

"$root/scripts/wine-prefix.sh" "$work" >/dev/null
build=$work
. "$root/scripts/wine-env.sh"
# A persistent wineserver with the prefix's services already up, so that Wine's own start
# is not timed.
if wineserver -p 2>/dev/null; then
    trap 'wineserver -k 2>/dev/null || true' EXIT
fi
wine cmd /c exit >/dev/null 2>&1 </dev/null

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
value() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }
windows() { echo "Z:${1//\//\\}"; }
# Each measurement starts with the writes of the one before on disk.
settle() { sync; sleep 1; }
folder='C:\FetchoraBenchmark'
installed=$WINEPREFIX/drive_c/FetchoraBenchmark
rounds=5
install_times=() unzip_times=() copy_times=() uninstall_times=() ratios=() peak_private=0 peak_working_set=0

# Each measurement writes where the one of the round before was just deleted, so that each
# finds the file system in the same state.
rm -rf "$work/out-unzip" "$work/out-copy"
for round in $(seq 1 $rounds); do
    rm -rf "$installed"
    settle
    # The installer runs as a deployment script would run it; its console lines are kept aside.
    install=$(wine "$meter" "$(windows "$setup")" -silent -user -installpath "$folder" </dev/null 2>"$work/setup.log" |
        tr -d '\r')
    if [ "$(value exit_code "$install")" != 0 ]; then
        echo "The installation failed: $install" >&2
        cat "$work/setup.log" >&2
        exit 1
    fi
    diff -r -q -x Uninstall.exe -x InstallReport.ini "$payload" "$installed" >/dev/null ||
        { echo "The installed files differ from the payload." >&2; exit 1; }
    install_times+=("$(value seconds "$install")")
    peak_private=$(awk -v a="$peak_private" -v b="$(value peak_private_mib "$install")" 'BEGIN { print (b > a ? b : a) }')
    peak_working_set=$(awk -v a="$peak_working_set" -v b="$(value peak_working_set_mib "$install")" \
        'BEGIN { print (b > a ? b : a) }')

    rm -rf "$work/out-unzip"
    settle
    start=$(now)
    unzip -q -o "$archive" -d "$work/out-unzip"
    unzip_times+=("$(elapsed "$start" "$(now)")")
    # The machine's speed drifts: each round's installation is compared with its own unzip.
    ratios+=("$(awk -v a="${install_times[-1]}" -v b="${unzip_times[-1]}" 'BEGIN { printf "%.2f", a / b }')")
    rm -rf "$work/out-copy"
    settle
    start=$(now)
    cp -r "$payload" "$work/out-copy"
    copy_times+=("$(elapsed "$start" "$(now)")")

    # The uninstaller leaves the prefix as it was for the next round.
    uninstall=$(wine "$meter" "$(windows "$installed")\\Uninstall.exe" -silent </dev/null 2>/dev/null | tr -d '\r')
    if [ "$(value exit_code "$uninstall")" != 0 ]; then
        echo "The uninstallation failed: $uninstall" >&2
        exit 1
    fi
    uninstall_times+=("$(value seconds "$uninstall")")
done

echo
echo "payload:             $(du -sb "$payload" | cut -f1) bytes in $(find "$payload" -type f | wc -l) files;" \
    "archive $(stat -c %s "$archive") bytes, installer $(stat -c %s "$setup") bytes"
echo "rounds:              installation ${install_times[*]} s; unzip ${unzip_times[*]} s; copy ${copy_times[*]} s (medians below)"
echo "silent installation: $(median "${install_times[@]}") s (Setup.exe -silent -user, started and ended under Wine)"
echo "native unzip:        $(median "${unzip_times[@]}") s"
echo "copy (cp -r):        $(median "${copy_times[@]}") s"
echo "ratio to unzip:      $(median "${ratios[@]}") (median of the rounds' ratios ${ratios[*]}; goal: at most 2)"
echo "installer memory:    peak private $peak_private MiB (goal: under 64), peak working set $peak_working_set MiB"
echo "silent uninstall:    $(median "${uninstall_times[@]}") s"
rm -rf "$installed" "$work/out-unzip" "$work/out-copy"
