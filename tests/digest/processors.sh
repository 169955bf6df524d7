#!/usr/bin/env bash
# Runs the digest probe on emulated older processors (qemu-x86_64-static -cpu) and fails unless
# each is offered exactly the strip paths it can run (a path it cannot run would die of an
# illegal instruction on such a machine) and prints the native digests.
#   tests/digest/processors.sh PROBE MAP
# Exits with 77 (a skip to ctest), saying why, where qemu-user is missing.
set -u
qemu=$(command -v qemu-x86_64-static) || {
    echo "skipped: no qemu-x86_64-static to emulate other processors (package qemu-user-static)"
    exit 77
}
native=$("$1" --map "$2" 2>/dev/null) || { echo "the native probe failed" && exit 1; }
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
failed=0
# A processor model and the paths it must be offered: no AVX, AVX without AVX2, AVX2.
for entry in "Nehalem:plain sse2" "SandyBridge:plain sse2" "Haswell:plain sse2 avx2"; do
    model=${entry%%:*}
    digests=$("$qemu" -cpu "$model" "$1" --map "$2" 2>"$errors")
    status=$?
    paths=$(sed -n 's/^digest_probe: strip paths //p' "$errors")
    # qemu 7.2 takes a gather whose index is in ymm4 as having no index (what that encoding means
    # outside gathers) and loads every lane from the base address, so the emulated AVX2 strips
    # differ from the processor's: that path is judged by being offered, not by its digests.
    [ "$status" = 1 ] && [ "${paths% avx2 (DIFFERS)}" != "$paths" ] && status=0 paths=${paths% (*}
    if [ "$status" != 0 ] || [ "$paths" != "${entry#*:}" ] || [ "$digests" != "$native" ]; then
        echo "FAIL $model: status $status, paths '$paths' (expected '${entry#*:}'), digests:"
        diff <(echo "$native") <(echo "$digests")
        failed=1
    else
        echo "ok   $model: paths $paths, native digests"
    fi
done
exit "$failed"
