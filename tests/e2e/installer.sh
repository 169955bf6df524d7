#!/usr/bin/env bash
# The Windows installers: the x64 package installed, run, upgraded and removed with msiexec under
# Wine in one fresh 64-bit prefix, case after case (each case goes on from the state the one
# before left); then the x86 package's tables, read with msiinfo.
#
#   tests/e2e/installer.sh X64_MSI X86_MSI [NEWER_X64_MSI]
#
# NEWER_X64_MSI, a higher version of the x64 package for the upgrade, is built from this source
# tree (preset mingw-x86_64, the patch level one up) when not given. Logs go to e2e-installer/
# beside X64_MSI. See lib/harness.sh for the rest.

if [ $# -lt 2 ] || [ $# -gt 3 ] || [ ! -f "$1" ] || [ ! -f "$2" ] || [ ! -f "${3:-$1}" ]; then
    echo "usage: $0 X64_MSI X86_MSI [NEWER_X64_MSI]" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
MSI=$(absolute "$1")
X86_MSI=$(absolute "$2")
NEWER_MSI=${3:+$(absolute "$3")}
SOURCE_DIR=$(cd "$E2E_DIR/../.." && pwd)

DESKTOP='HKCU\Control Panel\Desktop'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
PRODUCTS='HKLM\Software\Classes\Installer\Products'
INSTALLED_SCR='C:\windows\system32\Quellmoor.scr'
BEFORE_SCR='C:\windows\system32\before.scr'
FILES=(Quellmoor.scr quellmoorMap.tga quellmoorTex.tga)
MSIEXEC_RUNS=0

product_version() { msiinfo export "$1" Property | tr -d '\r' | awk '$1 == "ProductVersion" { print $2 }'; }

# The x64 package of the next patch level, built from this source tree.
build_newer() {
    local version next
    version=$(product_version "$MSI")
    next=${version%.*}.$((${version##*.} + 1))
    (cd "$SOURCE_DIR" &&
        cmake --preset mingw-x86_64 -B "$WORK/newer" -DQUELLMOOR_VERSION="$next" &&
        cmake --build "$WORK/newer" -j 2 --target installer) >"$OUT/newer-build.log" 2>&1 &&
        NEWER_MSI=$WORK/newer/Quellmoor-$next-x64.msi
}

# Runs msiexec with ARGS (a package is given as a Unix path) and a verbose log in CASE_DIR;
# prints nothing, returns msiexec's exit code.
run_msiexec() {
    local args=() arg
    for arg in "$@"; do
        if [ -f "$arg" ]; then args+=("Z:${arg//\//\\}"); else args+=("$arg"); fi
    done
    MSIEXEC_RUNS=$((MSIEXEC_RUNS + 1))
    mark "msiexec ${args[*]} (log msiexec-$MSIEXEC_RUNS.log)"
    timeout $((180 * E2E_PATIENCE)) "$WINE" msiexec "${args[@]}" /qn \
        /l*v "Z:${CASE_DIR//\//\\}\\msiexec-$MSIEXEC_RUNS.log" </dev/null >>"$CASE_DIR/program.log" 2>&1
}

# Prints the data of the registry value NAME under KEY; fails when there is no such value.
reg_value() {
    "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -F '    ' -v name="$2" '$2 == name { print $4; found = 1 } END { exit !found }'
}

# Prints the keys at or below KEY that hold the value NAME with DATA, one per line.
keys_with() {
    "$WINE" reg query "$1" /s 2>/dev/null | tr -d '\r' |
        awk -F '    ' -v name="$2" -v data="$3" '/^HKEY/ { key = $0 } $2 == name && $4 == data { print key }'
}

expect_value() {
    local data
    data=$(reg_value "$1" "$2") || fail "no value $2 under $1" || return
    [ "$data" = "$3" ] || fail "$1\\$2 is '$data', expected '$3'"
}

expect_no_value() { ! reg_value "$1" "$2" >/dev/null || fail "$1\\$2 is still there"; }

# The value NAME under KEY set to DATA, or taken away for "none"; and expected so.
set_value() { if [ "$3" = none ]; then "$WINE" reg delete "$1" /v "$2" /f; else "$WINE" reg add "$1" /v "$2" /d "$3" /f; fi >/dev/null 2>&1; }
expect_data() { if [ "$3" = none ]; then expect_no_value "$1" "$2"; else expect_value "$@"; fi; }
# The one Add/Remove Programs entry of Quellmoor: version VERSION, publisher Quellmoor, the size
# of the files in PACKAGE_DIR (in KB, rounded up), and the shipped icon registered for the product.
expect_entry() {
    local entries products icon size bytes
    entries=$(keys_with "$UNINSTALL" DisplayName Quellmoor)
    [ "$(echo "$entries" | grep -c .)" -eq 1 ] ||
        fail "$(echo "$entries" | grep -c .) uninstall entries named Quellmoor, expected 1" || return
    expect_value "$entries" DisplayVersion "$1" || return
    expect_value "$entries" Publisher Quellmoor || return
    size=$(reg_value "$entries" EstimatedSize) || fail "no EstimatedSize in the entry" || return
    bytes=$(cd "$2" && stat -c %s "${FILES[@]}" | paste -sd +)
    [ $((size)) -eq $(((bytes + 1023) / 1024)) ] ||
        fail "EstimatedSize is $((size)) KB, the files take $((bytes)) bytes" || return
    products=$(keys_with "$PRODUCTS" ProductName Quellmoor)
    icon=$(reg_value "$products" ProductIcon) || fail "no icon registered for Quellmoor" || return
    icon=$("$WINE" winepath -u "$icon" 2>/dev/null)
    cmp -s "$icon" "$SOURCE_DIR/packaging/quellmoor.ico" || fail "the registered icon $icon is not quellmoor.ico"
}

expect_no_entry() {
    [ -z "$(keys_with "$UNINSTALL" DisplayName Quellmoor)" ] || fail "an uninstall entry is left"
}

# The three files in the 64-bit system folder, the very ones the package carries.
expect_files() {
    local file
    for file in "${FILES[@]}"; do
        cmp -s "$PREFIX/drive_c/windows/system32/$file" "$1/$file" ||
            fail "system32/$file missing or not the one in the package" || return
    done
}

expect_no_files() {
    local file
    for file in "${FILES[@]}"; do
        [ ! -e "$PREFIX/drive_c/windows/system32/$file" ] || fail "system32/$file is left" || return
    done
}

# The files of the package MSI, unpacked into DIR.
unpack() { mkdir -p "$2" && (cd "$2" && msiextract "$1" >/dev/null); }

# The prefix's files and registry values as NAME.files and NAME.registry (one line per value,
# with its key), leaving out what Wine changes by itself between starts (temporary folders, the
# device classes, network cards, its own settings, the display driver's date) and what the
# Windows Installer keeps for itself: its cache folder and empty keys, which a fresh prefix
# lacks until the first install.
snapshot() {
    stop_wine
    (cd "$PREFIX/drive_c" && find . -iname temp -prune -o ! -path ./windows/Installer -print |
        sort) >"$WORK/$1.files"
    awk '/^\[/ { key = $0; sub(/ [0-9]+$/, "", key); next } /^#|^"DriverDateData"=/ { next }
        NF { print key " " $0 }' "$PREFIX/system.reg" "$PREFIX/user.reg" |
        grep -v -e '^\[System\\\\CurrentControlSet\\\\Control\\\\Class' -e NetworkCards \
            -e '^\[Software\\\\Wine' -e '^\[Console\]' >"$WORK/$1.registry"
}

# Fresh prefix, the user's screensaver turned off: the package installs the three files, makes
# Quellmoor the user's screensaver and adds its entry to Add/Remove Programs.
case_install() {
    set_value "$DESKTOP" SCRNSAVE.EXE "$BEFORE_SCR" || fail "cannot choose a screensaver" || return
    "$WINE" reg add "$DESKTOP" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1 ||
        fail "cannot turn the screensaver off" || return
    snapshot before-install
    run_msiexec /i "$MSI" || fail "msiexec /i ended with $?" || return
    expect_files "$WORK/package" || return
    expect_value "$DESKTOP" SCRNSAVE.EXE "$INSTALLED_SCR" || return
    expect_value "$DESKTOP" ScreenSaveActive 1 || return
    expect_entry "$VERSION" "$WORK/package"
}

shows_landscape() {
    take_statistics "$1" && judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG" >/dev/null
}

# The installed screensaver, started from a folder without pictures, finds them in its fallback
# folder and shows the landscape; a key ends it.
case_installed_screensaver() {
    local window geometry
    TEXTURE_RG=$(texture_rg "$PREFIX/drive_c/windows/system32/quellmoorTex.tga")
    launch -C "$CASE_CWD" "$WINE" "$INSTALLED_SCR" /s
    window=$(await_window Quellmoor 40) || fail "no window titled Quellmoor appeared" || return
    geometry=$(window_geometry "$window") || fail "no geometry for window $window" || return
    # The camera moves, and a hill right in front of it can hide the sky for a moment.
    wait_until 30 shows_landscape "$geometry" ||
        fail "no landscape: $(judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG") [$LAST_STATISTICS]" ||
        return
    expect_running "the key press" || return
    press_key space "$window"
    expect_exit 15 - "a key press"
}

# The newer package replaces the installed one: one entry, of the newer version, the screensaver
# setting kept (the upgrade neither takes it back nor sets it again). The older package then
# refuses to go over the newer one.
case_upgrade() {
    [ "$(msiinfo suminfo "$MSI" | grep UUID)" != "$(msiinfo suminfo "$NEWER_MSI" | grep UUID)" ] ||
        fail "both versions have one package code" || return
    run_msiexec /i "$NEWER_MSI" || fail "msiexec /i of the newer package ended with $?" || return
    expect_entry "$NEWER_VERSION" "$WORK/newer-package" || return
    expect_files "$WORK/newer-package" || return
    expect_value "$DESKTOP" SCRNSAVE.EXE "$INSTALLED_SCR" || return
    ! run_msiexec /i "$MSI" || fail "the older package installed over the newer one" || return
    expect_entry "$NEWER_VERSION" "$WORK/newer-package"
}

# Removing takes the three files and the entry, puts the screensaver setting and its on/off
# setting back as the first install found it, and changes nothing else.
case_uninstall() {
    run_msiexec /x "$NEWER_MSI" || fail "msiexec /x ended with $?" || return
    expect_no_files || return
    expect_value "$DESKTOP" SCRNSAVE.EXE "$BEFORE_SCR" || return
    expect_value "$DESKTOP" ScreenSaveActive 0 || return
    expect_no_entry || return
    snapshot after-uninstall
    diff "$WORK/before-install.files" "$WORK/after-uninstall.files" >"$CASE_DIR/files.diff" ||
        fail "files differ from before the install (files.diff)" || return
    diff "$WORK/before-install.registry" "$WORK/after-uninstall.registry" >"$CASE_DIR/registry.diff" ||
        fail "the registry differs from before the install (registry.diff)"
}

# The user's screensaver is SETTING when Quellmoor is removed; before the install ScreenSaveActive
# was ACTIVE and the screensaver BEFORE (values or "none"): removal puts both back while the setting
# names the installed file (in any letter case), BEFORE as none when it was that file.
case_removal_with_setting() {
    local setting=$1 outcome=$2 active=$3 before=$4
    set_value "$DESKTOP" ScreenSaveActive "$active" && set_value "$DESKTOP" SCRNSAVE.EXE "$before"
    run_msiexec /i "$MSI" || fail "msiexec /i ended with $?" || return
    "$WINE" reg add "$DESKTOP" /v SCRNSAVE.EXE /d "$setting" /f >/dev/null 2>&1 ||
        fail "cannot change the screensaver setting" || return
    run_msiexec /x "$MSI" || fail "msiexec /x ended with $?" || return
    expect_no_files || return
    if [ "$outcome" = kept ]; then
        expect_value "$DESKTOP" SCRNSAVE.EXE "$setting" && expect_value "$DESKTOP" ScreenSaveActive 1
    else
        [ "${before,,}" != "${INSTALLED_SCR,,}" ] || before=none
        expect_data "$DESKTOP" SCRNSAVE.EXE "$before" && expect_data "$DESKTOP" ScreenSaveActive "$active"
    fi
}

# A user who has chosen another screensaver keeps it through an upgrade and the removal.
case_upgrade_keeps_other_screensaver() {
    local other='C:\windows\system32\other.scr'
    run_msiexec /i "$MSI" || fail "msiexec /i ended with $?" || return
    "$WINE" reg add "$DESKTOP" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1 ||
        fail "cannot change the screensaver setting" || return
    run_msiexec /i "$NEWER_MSI" || fail "msiexec /i of the newer package ended with $?" || return
    expect_value "$DESKTOP" SCRNSAVE.EXE "$other" || return
    run_msiexec /x "$NEWER_MSI" || fail "msiexec /x ended with $?" || return
    expect_value "$DESKTOP" SCRNSAVE.EXE "$other"
}

# SETASSCREENSAVER=0 installs the files and leaves the setting alone.
case_setting_left_alone() {
    "$WINE" reg delete "$DESKTOP" /v SCRNSAVE.EXE /f >/dev/null 2>&1
    "$WINE" reg delete "$DESKTOP" /v ScreenSaveActive /f >/dev/null 2>&1
    run_msiexec /i "$MSI" SETASSCREENSAVER=0 || fail "msiexec /i ended with $?" || return
    expect_files "$WORK/package" || return
    expect_no_value "$DESKTOP" SCRNSAVE.EXE || return
    expect_no_value "$DESKTOP" ScreenSaveActive || return
    run_msiexec /x "$MSI" || fail "msiexec /x ended with $?" || return
    expect_no_files
}

# The machine a Windows program is built for, from its header: 332 for 32-bit x86, 34404 for
# x86-64.
pe_machine() {
    local header
    header=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -tu2 -j $((header + 4)) -N 2 "$1" | tr -d ' '
}

# The x86 package without running it: all three files in SystemFolder (SysWOW64 on 64-bit
# Windows), no 64-bit folder, component or platform, 32-bit programs inside. The x64 package
# names the x86 one when it meets 32-bit Windows.
case_package_tables() {
    local tables=$WORK/x86-tables components files
    mkdir -p "$tables"
    msiinfo export "$X86_MSI" Directory | tr -d '\r' | tail -n +4 | sort >"$tables/directories"
    printf 'SystemFolder\tTARGETDIR\t.\nTARGETDIR\t\tSourceDir\n' | diff -q - "$tables/directories" >/dev/null ||
        fail "x86 folders: $(paste -sd ';' "$tables/directories")" || return
    components=$(msiinfo export "$X86_MSI" Component | tr -d '\r' | tail -n +4)
    # Component attribute 256 marks a 64-bit component.
    [ "$(echo "$components" | awk -F '\t' '$3 == "SystemFolder" && int($4 / 256) % 2 == 0' |
        wc -l)" -eq 3 ] && [ "$(echo "$components" | wc -l)" -eq 3 ] ||
        fail "x86 components: $components" || return
    files=$(msiinfo export "$X86_MSI" File | tr -d '\r' | tail -n +4 | cut -f 3 | sort | paste -sd ' ')
    [ "$files" = "Quellmoor.scr quellmoorMap.tga quellmoorTex.tga" ] || fail "x86 files: $files" ||
        return
    msiinfo suminfo "$X86_MSI" | grep -q '^Template: Intel;' || fail "x86 package not for Intel" ||
        return
    [ "$(pe_machine "$WORK/x86-package/Quellmoor.scr")" = 332 ] ||
        fail "the x86 package's Quellmoor.scr is not a 32-bit program" || return
    msiinfo extract "$X86_MSI" Binary.ScreenSaverChoice >"$tables/actions.dll"
    [ "$(pe_machine "$tables/actions.dll")" = 332 ] ||
        fail "the x86 package's custom actions are not a 32-bit DLL" || return
    msiinfo export "$MSI" LaunchCondition | grep -q "VersionNT64	.*-x86\.msi" ||
        fail "the x64 package does not stop on 32-bit Windows with a pointer to the x86 one"
}

e2e_begin "$(dirname "$MSI")/e2e-installer"
for tool in msiinfo msiextract cmp; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
if [ -z "$SUITE_SKIP" ]; then
    if [ -z "$NEWER_MSI" ]; then
        build_newer || e2e_abort "the newer package could not be built (see $OUT/newer-build.log)"
    fi
    VERSION=$(product_version "$MSI")
    NEWER_VERSION=$(product_version "$NEWER_MSI")
    if ! { unpack "$MSI" "$WORK/package" && unpack "$NEWER_MSI" "$WORK/newer-package" &&
        unpack "$X86_MSI" "$WORK/x86-package"; }; then
        e2e_abort "the packages could not be unpacked"
    fi
    wine_prefix 64
fi

run_case install 640x480 case_install
run_case installed-screensaver 640x480 case_installed_screensaver
run_case upgrade 640x480 case_upgrade
run_case uninstall 640x480 case_uninstall
run_case other-screensaver-kept 640x480 case_removal_with_setting 'C:\windows\system32\other.scr' kept 0 none
run_case setting-in-other-case-removed 640x480 case_removal_with_setting \
    'c:\WINDOWS\System32\QUELLMOOR.SCR' removed none none
run_case quellmoor-before-not-put-back 640x480 case_removal_with_setting "$INSTALLED_SCR" removed 1 \
    'C:\WINDOWS\system32\quellmoor.scr'
run_case upgrade-keeps-other-screensaver 640x480 case_upgrade_keeps_other_screensaver
run_case setting-left-alone 640x480 case_setting_left_alone
run_case package-tables 640x480 case_package_tables
e2e_end
