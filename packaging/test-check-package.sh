#!/usr/bin/env bash
# Feeds the zip checker small hand-made archives, sound and faulty, and expects it to pass exactly
# the sound ones; and reads the release notes of two versions, one a prefix of the other, from one
# changelog (changelog-section.sh). Usage: test-check-package.sh CMAKE CheckPackage.cmake
set -euo pipefail
cmake=$1
checker=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# make_tree DIR MACHINE-BYTES MAP-TYPE NOTES: the four files as a build would package them.
make_tree() {
    mkdir -p "$1"
    { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\0\0\0'; printf 'PE\0\0%b' "$2"; head -c 200 /dev/zero; } >"$1/Quellmoor.scr"
    { printf '\0\0%b' "\\x$3"; head -c 13 /dev/zero; printf '\x08\0'; head -c 64 /dev/zero; } >"$1/quellmoorMap.tga"
    { printf '\0\0\x02'; head -c 13 /dev/zero; printf '\x18\0'; head -c 64 /dev/zero; } >"$1/quellmoorTex.tga"
    printf '%s\r\n' "$4" >"$1/INSTALL.txt"
}

# expect pass|fail NAME MACHINE [PICTURES]: zips $work/NAME/NAME-top, its files in the order of
# their names (in reverse with ORDER=-r), and runs the checker on it.
expect() {
    local outcome=$1 name=$2 machine=$3 pictures=${4:-} files
    mapfile -t files < <(cd "$work/$name" && find "$name" -type f | LC_ALL=C sort ${ORDER:+"$ORDER"})
    (cd "$work/$name" && "$cmake" -E tar cf "$name.zip" --format=zip "${files[@]}")
    local args=(-DARCHIVE="$work/$name/$name.zip" -DMACHINE="$machine")
    [ -n "$pictures" ] && args+=(-DPICTURES="$pictures")
    if "$cmake" "${args[@]}" -P "$checker" >"$work/$name.log" 2>&1; then got=pass; else got=fail; fi
    if [ "$got" != "$outcome" ]; then
        echo "FAIL: $name: expected the checker to $outcome, it did $got"; cat "$work/$name.log"
        failures=$((failures + 1))
    fi
}

amd64='\x64\x86'
i386='\x4c\x01'
notes64='Right-click and Install, or copy to C:\Windows\System32'
notes32="$notes64 or C:\\Windows\\SysWOW64"

make_tree "$work/w64/w64" "$amd64" 03 "$notes64"
expect pass w64 x86_64 "$work/w64/w64"
make_tree "$work/w32/w32" "$i386" 03 "$notes32"
expect pass w32 i386

make_tree "$work/wrongMachine/wrongMachine" "$amd64" 03 "$notes32"
expect fail wrongMachine i386
make_tree "$work/missingMap/missingMap" "$amd64" 03 "$notes64"
rm "$work/missingMap/missingMap/quellmoorMap.tga"
expect fail missingMap x86_64
make_tree "$work/unsorted/unsorted" "$amd64" 03 "$notes64"
ORDER=-r expect fail unsorted x86_64
make_tree "$work/extraFile/extraFile" "$amd64" 03 "$notes64"
touch "$work/extraFile/extraFile/readme.txt"
expect fail extraFile x86_64
make_tree "$work/wrongFolder/other" "$amd64" 03 "$notes64"
(cd "$work/wrongFolder" && "$cmake" -E tar cf wrongFolder.zip --format=zip other)
if "$cmake" -DARCHIVE="$work/wrongFolder/wrongFolder.zip" -DMACHINE=x86_64 -P "$checker" >/dev/null 2>&1; then
    echo "FAIL: wrongFolder: files outside a folder named like the archive passed"; failures=$((failures + 1))
fi
make_tree "$work/colourMap/colourMap" "$amd64" 02 "$notes64"
expect fail colourMap x86_64
make_tree "$work/oldPictures/oldPictures" "$amd64" 03 "$notes64"
make_tree "$work/otherBuild" "$amd64" 03 "$notes64"
printf 'x' >>"$work/otherBuild/quellmoorTex.tga"
expect fail oldPictures x86_64 "$work/otherBuild"
make_tree "$work/notes32/notes32" "$i386" 03 "$notes64"
expect fail notes32 i386
make_tree "$work/notScr/notScr" "$amd64" 03 "$notes64"
printf 'not a program' >"$work/notScr/notScr/Quellmoor.scr"
expect fail notScr x86_64
if "$cmake" -DARCHIVE="$work/none.zip" -DMACHINE=x86_64 -P "$checker" >/dev/null 2>&1; then
    echo "FAIL: a missing archive passed"; failures=$((failures + 1))
fi

printf '%s\n' '## 1.0.10' '' '- ten' '' '## 1.0.1 (1 May)' '' '- one' '## 1.0.0' '- none' \
    >"$work/CHANGELOG.md"
for version in 1.0.10:ten 1.0.1:one; do
    notes=$(bash "$(dirname "$0")/changelog-section.sh" "$work/CHANGELOG.md" "${version%:*}") || true
    if [ "$notes" != "- ${version#*:}" ]; then
        echo "FAIL: the notes of ${version%:*} read as: $notes"; failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ] && echo "zip checker: all cases as expected"
exit "$failures"
