#!/usr/bin/env bash
# Runs the digest probe of the native build, of the 64-bit Windows build under wine64 and of the
# 32-bit one under wine (emulated), and fails unless all print the same digests, bit for bit.
# Usage: tests/digest/compare.sh [BUILD_ROOT]   (build/ by default; needs the linux,
# mingw-x86_64 and mingw-i686 presets built). Wine prefixes are kept under BUILD_ROOT/digest/,
# so only the first run pays for making them (minutes for the emulated 32-bit one).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=${1:-build}
work=$root/digest
mkdir -p "$work"
work=$(cd "$work" && pwd)

native=$root/linux/tests/digest/digest_probe
win64=$root/mingw-x86_64/tests/digest/digest_probe.exe
win32=$root/mingw-i686/tests/digest/digest_probe.exe
map=$root/linux/app/quellmoorMap.tga
for file in "$native" "$win64" "$win32" "$map"; do
    if [ ! -f "$file" ]; then
        echo "compare: $file is missing; build the linux, mingw-x86_64 and mingw-i686 presets" >&2
        exit 1
    fi
done
# Every probe reads the same map under the same relative name, which Wine needs no path for.
cp "$map" "$work/quellmoorMap.tga"
cp "$win64" "$work/digest_probe64.exe"
cp "$win32" "$work/digest_probe32.exe"

export WINEDEBUG=-all
# No Mono or Gecko: a console program needs neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="

status=0
wineserver=/usr/lib/wine/wineserver
# Runs one Windows probe in its own prefix, made first when it is missing (the 32-bit one,
# emulated, takes minutes; a run in a prefix still being made fails to load kernel32.dll).
run_wine() {
    local bits=$1 loader=$2 arch=$3
    local prefix=$work/wine$bits
    if [ ! -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
        rm -rf "$prefix"
        WINEARCH=$arch WINEPREFIX=$prefix timeout 900 "$loader" wineboot -i >/dev/null 2>&1 || true
        WINEPREFIX=$prefix timeout 300 "$wineserver" -w || true
    fi
    (cd "$work" && WINEPREFIX=$prefix timeout 600 "$loader" "digest_probe$bits.exe") \
        2>"$work/probe$bits.err" | tr -d '\r' >"$work/win$bits.txt" || status=1
    WINEPREFIX=$prefix timeout 20 "$wineserver" -k 2>/dev/null || true
    WINEPREFIX=$prefix timeout 20 "$wineserver" -w 2>/dev/null || true
}

native=$(realpath "$native")
(cd "$work" && "$native") >"$work/native.txt" 2>"$work/native.err" || status=1
run_wine 64 /usr/lib/wine/wine64 win64
run_wine 32 /usr/lib/wine/wine win32

for build in win64 win32; do
    if ! diff -u "$work/native.txt" "$work/$build.txt"; then
        echo "compare: the $build probe's digests differ from the native ones" >&2
        status=1
    fi
done
for build in native probe64 probe32; do
    [ -f "$work/$build.err" ] && sed "s/^/$build: /" "$work/$build.err" | tr -d '\r'
done
if [ ! -s "$work/native.txt" ]; then
    echo "compare: the native probe printed nothing" >&2
    status=1
fi
if [ $status = 0 ]; then
    echo "compare: native, 64-bit and 32-bit Windows digests are equal"
    cat "$work/native.txt"
fi
exit $status
