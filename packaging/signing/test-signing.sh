#!/usr/bin/env bash
# Builds the 64-bit installer and zip with a throwaway self-signed certificate and checks that
# what they ship is signed by it: the Quellmoor.scr packed inside the MSI and the zip, the
# custom-action DLL and the MSI itself. osslsigncode verifies each signature against that
# certificate as the only trusted root (no public authority would vouch for it); a file changed
# after signing must fail, and taking the signatures off must give back the unsigned files.
#   packaging/signing/test-signing.sh [WORK_DIR]
# WORK_DIR (a new temporary folder by default, removed at the end) holds the build and the keys.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
if [ $# -gt 0 ]; then
    mkdir -p "$1"
    work=$(realpath "$1")
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/quellmoor-signing.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi
failures=0
check() {
    if "${@:2}" >"$work/check.log" 2>&1; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        cat "$work/check.log"
        failures=$((failures + 1))
    fi
}
# shellcheck disable=SC2317 # called through check
fails() { ! "$@"; }

keys=$work/keys
mkdir -p "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quellmoor throwaway test" \
    -addext extendedKeyUsage=codeSigning -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null
printf 'not-a-secret' >"$keys/password"
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/cert.p12" \
    -passout "file:$keys/password"

build=$work/build
cmake --preset mingw-x86_64 -S "$source_dir" -B "$build" -DQUELLMOOR_WERROR=ON \
    -DQUELLMOOR_SIGN_PKCS12="$keys/cert.p12" -DQUELLMOOR_SIGN_PASSWORD_FILE="$keys/password" \
    >"$work/configure.log"
cmake --build "$build" -j 2 --target installer package >"$work/build.log"
msi=$(ls "$build"/Quellmoor-*-x64.msi)
rm -rf "$work/unpacked"
mkdir -p "$work/unpacked/msi" "$work/unpacked/zip"
(cd "$work/unpacked/msi" && msiextract "$msi" >/dev/null)
(cd "$work/unpacked/zip" && cmake -E tar xf "$build"/Quellmoor-*-win64.zip)
scr=$(find "$work/unpacked/msi" -name Quellmoor.scr)

# shellcheck disable=SC2317 # called through check
verify() { osslsigncode verify -CAfile "$keys/cert.pem" -in "$1"; }
check "the .scr inside the MSI is signed" verify "$scr"
check "the .scr inside the zip is signed" verify "$(find "$work/unpacked/zip" -name Quellmoor.scr)"
check "the custom-action DLL is signed" verify "$build/packaging/msi/stage/ScreenSaverChoice.dll"
check "the MSI is signed" verify "$msi"
# The signatures are all that signing adds: taking them off gives back the files as the build
# made them before signing. osslsigncode lays an installer's file out anew, so there its tables
# and streams are compared.
# shellcheck disable=SC2317 # called through check
unsigned_equal() {
    rm -rf "$work/stripped" "$work/dump"
    osslsigncode remove-signature -in "$1" -out "$work/stripped" >/dev/null
    if [[ $2 != *.msi ]]; then
        cmp "$work/stripped" "$2"
        return
    fi
    # msidump writes the tables' binary fields into its working folder.
    mkdir -p "$work/dump/stripped" "$work/dump/unsigned"
    (cd "$work/dump/stripped" && msidump -t -s "$work/stripped" >/dev/null)
    (cd "$work/dump/unsigned" && msidump -t -s "$2" >/dev/null)
    diff -r "$work/dump/stripped" "$work/dump/unsigned"
}
check "the signed .scr less its signature is the unsigned one" \
    unsigned_equal "$build/packaging/shipped/Quellmoor.scr" "$build/app/Quellmoor.scr"
check "the signed DLL less its signature is the unsigned one" unsigned_equal \
    "$build/packaging/msi/stage/ScreenSaverChoice.dll" "$build/packaging/msi/ScreenSaverChoice.dll"
check "the signed MSI less its signature is the unsigned one" \
    unsigned_equal "$msi" "$build/packaging/msi/${msi##*/}"
# One byte changed in the program's code: the digest no longer matches the signature.
cp "$scr" "$work/changed.scr"
printf '\x90' | dd of="$work/changed.scr" bs=1 seek=4096 conv=notrunc status=none
check "a changed .scr fails" fails verify "$work/changed.scr"
# Trusting only another certificate: the signature must not pass as that one's.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Someone else" \
    -keyout "$keys/other.pem" -out "$keys/other-cert.pem" 2>/dev/null
check "a signature checked against another certificate fails" fails \
    osslsigncode verify -CAfile "$keys/other-cert.pem" -in "$msi"

[ "$failures" -eq 0 ] && echo "signing: all checks passed"
exit "$failures"
