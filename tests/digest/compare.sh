#!/usr/bin/env bash
# Runs the digest probe of the native build, of the 64-bit Windows build under wine64 and of the
# 32-bit one under wine (emulated), and fails unless all print the same digests, bit for bit.
#
#   tests/digest/compare.sh [BUILD_ROOT]
#
# BUILD_ROOT (build/ by default) holds the linux, mingw-x86_64 and mingw-i686 builds; logs go to
# BUILD_ROOT/digest/. The Wine prefix comes from the end-to-end harness (lib/harness.sh), which
# makes one per run (its 32-bit half runs the 32-bit build), or keeps it in
# QUELLMOOR_E2E_WINE_CACHE.

# shellcheck source-path=SCRIPTDIR source=../e2e/lib/harness.sh
source "$(dirname "$0")/../e2e/lib/harness.sh"
ROOT=$(cd "${1:-build}" && pwd) || exit 2
MAP=$ROOT/linux/app/quellmoorMap.tga
DIGEST_LINES='^(heights|strips|readers|resampling) '

# Runs the probe (a native program, or "$WINE" PROBE.exe) on the shipped map in the case's
# working directory and keeps its digests in CASE_DIR/digests.txt.
run_probe() {
    cp "$MAP" "$CASE_CWD/" || fail "the shipped height map is missing" || return
    launch "$@"
    await_exit 300 || fail "the probe did not end" || return
    [ "$PROG_STATUS" = 0 ] || fail "the probe ended with $PROG_STATUS" || return
    # The Windows console ends lines with CR LF; the probe's other lines name the strip paths.
    tr -d '\r' <"$CASE_DIR/program.log" | grep -E "$DIGEST_LINES" >"$CASE_DIR/digests.txt"
    [ "$(wc -l <"$CASE_DIR/digests.txt")" = 4 ] || fail "the probe printed no digests"
}

case_native() {
    run_probe "$ROOT/linux/tests/digest/digest_probe" || return
    cp "$CASE_DIR/digests.txt" "$OUT/native.txt"
}

# PROBE.exe under Wine, with the environment (VAR=VALUE...) that follows it.
case_windows() {
    local probe=$1
    shift
    run_probe "$@" "$WINE" "$probe" || return
    diff -u "$OUT/native.txt" "$CASE_DIR/digests.txt" >"$CASE_DIR/difference.txt" ||
        fail "digests differ from the native build's: $(grep -E '^\+[a-z]' "$CASE_DIR/difference.txt" |
            cut -d' ' -f1 | tr -d '+' | tr '\n' ' ')"
}

e2e_begin "$ROOT/digest"
for file in "$MAP" "$ROOT/linux/tests/digest/digest_probe" \
    "$ROOT/mingw-x86_64/tests/digest/digest_probe.exe" \
    "$ROOT/mingw-i686/tests/digest/digest_probe.exe"; do
    [ -f "$file" ] || e2e_abort "$file is missing: build the linux, mingw-x86_64 and mingw-i686 presets"
done

run_case native 640x480 case_native
wine_prefix 64
run_case windows-64 640x480 case_windows "$ROOT/mingw-x86_64/tests/digest/digest_probe.exe"
# Emulated, the 32-bit Wine is several times slower.
E2E_PATIENCE=4
wine_prefix 32
run_case windows-32 640x480 case_windows "$ROOT/mingw-i686/tests/digest/digest_probe.exe"
# The oldest processor the 32-bit build is made for, a Pentium 4 (SSE2, no SSE3), through QEMU_CPU
# to qemu-i386 in binfmt_misc: the probe must not be offered the AVX2 path, and qemu ends it on an
# SSSE3 or later instruction (qemu 7.2 lets SSE3 ones through).
run_case windows-32-pentium4 640x480 case_windows "$ROOT/mingw-i686/tests/digest/digest_probe.exe" \
    QEMU_CPU=pentium3,+sse2,+clflush

[ -f "$OUT/native.txt" ] && cat "$OUT/native.txt"
grep -h "strip paths" "$OUT"/*/program.log | tr -d '\r'
e2e_end
