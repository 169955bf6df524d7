#!/usr/bin/env bash
# End-to-end tests of the 64-bit Windows screensaver under Wine, each case on its own Xvfb display
# and in its own Wine session, all in one fresh Wine prefix that is removed at the end.
#
#   tests/e2e/run.sh SCR_PATH [DATA_DIR]
#
# DATA_DIR (by default the directory of SCR_PATH) supplies quellmoorMap.tga and quellmoorTex.tga;
# when it lacks them, made-up ones are drawn with ImageMagick. Logs and screenshots go to
# QUELLMOOR_E2E_OUT (by default e2e/ beside SCR_PATH); QUELLMOOR_E2E_ONLY, a regular expression,
# picks cases by name. Prints PASS or FAIL per case and ends with "N passed, M failed"; exits
# non-zero when a case failed.
set -uo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 SCR_PATH [DATA_DIR]" >&2
    exit 2
fi
if [ ! -f "$1" ]; then
    echo "e2e: no such file: $1" >&2
    exit 2
fi

E2E_DIR=$(cd "$(dirname "$0")" && pwd)
SCR=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
DATA_DIR=$(cd "${2:-$(dirname "$SCR")}" && pwd) || exit 2
OUT=${QUELLMOOR_E2E_OUT:-$(dirname "$SCR")/e2e}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quellmoor-wine-e2e.XXXXXX")
PREFIX=$WORK/prefix
TOOLS=$WORK/tools
IMAGES=$WORK/images
CASE_DIR=$WORK
CASE_CWD=$WORK

source "$E2E_DIR/harness.sh"
source "$E2E_DIR/pixels.sh"

MAP=quellmoorMap.tga
TEX=quellmoorTex.tga
SYSTEM32=$PREFIX/drive_c/windows/system32
# Windows style bits that tell the two kinds of window apart.
WS_POPUP=0x80000000
WS_BORDER_SYSMENU=0x00880000

cleanup() {
    stop_program
    stop_wine
    stop_display
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

passed=0
failed=0
CASE_FAIL=

# Records the first reason a case fails; case steps use it as `... || fail "why"` and then return.
fail() {
    [ -z "$CASE_FAIL" ] && CASE_FAIL=$1
    return 1
}

# Runs the case function FUNCTION with its ARGS as case NAME: a fresh display of SIZE, a fresh
# Wine session, an empty working directory; everything is stopped again afterwards.
run_case() {
    local name=$1 size=$2 function=$3
    shift 3
    [[ $name =~ ${QUELLMOOR_E2E_ONLY:-.} ]] || return 0
    CASE_FAIL=
    CASE_DIR=$OUT/$name
    CASE_CWD=$WORK/cwd/$name
    mkdir -p "$CASE_DIR" "$CASE_CWD"
    CASE_STARTED=$(now_ms)
    if start_display "$size"; then
        "$function" "$@" || fail "failed without a reason"
    else
        fail "no Xvfb display could be started"
    fi
    stop_program
    stop_wine
    stop_display
    local seconds
    seconds=$(awk -v ms=$(($(now_ms) - CASE_STARTED)) 'BEGIN { printf "%.1f", ms / 1000 }')
    CASE_STARTED=0
    if [ -z "$CASE_FAIL" ]; then
        passed=$((passed + 1))
        echo "PASS $name"
    else
        failed=$((failed + 1))
        echo "FAIL $name: $CASE_FAIL (logs and screenshots in $CASE_DIR)"
    fi
    echo "$name ${seconds}s" >>"$OUT/timings.txt"
}

build_tools() {
    mkdir -p "$TOOLS"
    x86_64-w64-mingw32-g++ -O1 -static -o "$TOOLS/winprobe.exe" "$E2E_DIR/winprobe.cpp" &&
        g++ -O1 -o "$TOOLS/xclose" "$E2E_DIR/xclose.cpp" -lX11 &&
        g++ -O1 -o "$TOOLS/picstats" "$E2E_DIR/picstats.cpp"
}

# The shipped images when DATA_DIR has both; otherwise a grey height map of round hills 32 units
# apart, so that hills are in view from everywhere, and a texture of one hue at varying
# brightness, both uncompressed TGA (types 3 and 2).
prepare_images() {
    mkdir -p "$IMAGES"
    if [ -f "$DATA_DIR/$MAP" ] && [ -f "$DATA_DIR/$TEX" ]; then
        cp "$DATA_DIR/$MAP" "$DATA_DIR/$TEX" "$IMAGES/"
        echo "e2e: images from $DATA_DIR"
        return 0
    fi
    echo "e2e: $DATA_DIR lacks $MAP and $TEX; drawing test images"
    "$IM_CONVERT" -size 256x256 xc: -fx '0.5 + 0.25 * sin(i * pi / 16) + 0.25 * cos(j * pi / 16)' \
        -colorspace gray -depth 8 -compress none -type Grayscale "$IMAGES/$MAP" &&
        "$IM_CONVERT" -size 256x256 -seed 11 plasma:fractal -colorspace gray -auto-level \
            -colorspace sRGB \( +clone -fill 'rgb(150,250,100)' -colorize 100 \) \
            -compose multiply -composite \
            -depth 8 -compress none -type TrueColor "$IMAGES/$TEX"
}

# The Wine prefix, made once; wineboot needs a display for its desktop process.
create_prefix() {
    CASE_DIR=$OUT/prefix
    mkdir -p "$CASE_DIR"
    start_display 640x480 || return 1
    wine_env timeout 300 "$WINE" wineboot -i </dev/null >"$CASE_DIR/wineboot.log" 2>&1
    local status=$?
    # The exit-code checks mean something only if Wine hands a program's exit code on: the
    # helper ends with 2 when called without arguments.
    wine_env timeout 60 "$WINE" "$TOOLS/winprobe.exe" </dev/null >/dev/null 2>&1
    local helper_status=$?
    stop_wine
    stop_display
    [ $status -eq 0 ] && [ -d "$SYSTEM32" ] && [ $helper_status -eq 2 ]
}

# Where the program looks for its images: the working directory, the fallback directory, both
# or neither.
place_images() {
    local in_cwd=$1 in_system32=$2
    rm -f "$SYSTEM32/$MAP" "$SYSTEM32/$TEX" "$CASE_CWD/$MAP" "$CASE_CWD/$TEX"
    if [ "$in_cwd" = 1 ]; then
        cp "$IMAGES/$MAP" "$IMAGES/$TEX" "$CASE_CWD/"
    fi
    if [ "$in_system32" = 1 ]; then
        cp "$IMAGES/$MAP" "$IMAGES/$TEX" "$SYSTEM32/"
    fi
}

# Prints the screensaver window's id once it is shown.
await_screensaver() {
    await_window Quellmoor 40 || fail "no window titled Quellmoor appeared"
}

# Checks the Win32 styles and the rectangle of the one Quellmoor window: a 640 x 480 pop-up at
# (0, 0) when KIND is popup; otherwise a bordered window with the system menu, at (0, 0), whose
# size is that of the rectangle 0, 0, 644, 504 adjusted for its style.
expect_window_kind() {
    local kind=$1 lines style window
    lines=$(inspect window Quellmoor) || fail "Wine reports no window titled Quellmoor" || return
    [ "$(echo "$lines" | wc -l)" -eq 1 ] || fail "more than one Quellmoor window: $lines" || return
    style=$(echo "$lines" | sed -E 's/^style=(0x[0-9a-f]+) .*/\1/')
    window=$(echo "$lines" | sed -E 's/.* window=([-0-9,]+) .*/\1/')
    if [ "$kind" = popup ]; then
        [ $((style & WS_POPUP)) -ne 0 ] && [ $((style & WS_BORDER_SYSMENU)) -eq 0 ] ||
            fail "not a pop-up window: $lines" || return
        [ "$window" = 0,0,640,480 ] || fail "pop-up not 640 x 480 at (0, 0): $lines" || return
    else
        [ $((style & WS_POPUP)) -eq 0 ] &&
            [ $((style & WS_BORDER_SYSMENU)) -eq $((WS_BORDER_SYSMENU)) ] ||
            fail "not a bordered window with a system menu: $lines" || return
        local adjusted left top right bottom
        adjusted=$(inspect adjust 0 0 644 504 "$WS_BORDER_SYSMENU" 0x40000) ||
            fail "AdjustWindowRectEx failed" || return
        IFS=, read -r left top right bottom <<<"$adjusted"
        [ "$window" = "0,0,$((right - left)),$((bottom - top))" ] ||
            fail "window rectangle $window, expected 644 x 504 adjusted ($adjusted) at (0, 0)" ||
            return
    fi
}

# The window is drawn in once the clear colour shows in the top of its client area WIDTH HEIGHT
# X Y; the screenshot stays as CASE_DIR/NAME.png.
drawn() {
    local name=$1
    shift
    screenshot "$name" || return 1
    statistics_hold "$(picture_statistics "$CASE_DIR/$name.png" "$@")" 'top_sky > 0.1'
}

# Waits until WINDOW shows the clear colour at its top, keeping that screenshot as NAME.png.
await_drawing() {
    local window=$1 name=$2 width height x y
    read -r width height x y < <(window_geometry "$window") ||
        fail "no geometry for window $window" || return
    wait_until 30 drawn "$name" "$width" "$height" "$x" "$y" ||
        fail "nothing drawn in the window within 30 s"
}

# Checks that WINDOW shows KIND, the landscape or the checkerboard: first the screenshot that
# shows the first frame, then up to five more a second and a half apart, since the camera moves
# and a hill right in front of it can hide the sky for a moment.
expect_picture() {
    local window=$1 kind=$2 width height x y attempt line verdict
    await_drawing "$window" "$kind-1" || return
    read -r width height x y < <(window_geometry "$window")
    for attempt in 1 2 3 4 5 6; do
        if [ "$attempt" -gt 1 ]; then
            sleep 1.5
            screenshot "$kind-$attempt" || fail "screenshot failed" || return
        fi
        line=$(picture_statistics "$CASE_DIR/$kind-$attempt.png" "$width" "$height" "$x" "$y")
        echo "$kind-$attempt: $line" >>"$CASE_DIR/statistics.txt"
        if [ "$kind" = landscape ]; then
            verdict=$(judge_landscape "$line" "$TEXTURE_RG") && return 0
        else
            verdict=$(judge_checkerboard "$line") && return 0
        fi
    done
    fail "not the $kind: $verdict [$line]"
}

# The quit paths mean something only if the program was still running before the input.
expect_running() {
    ! program_ended || fail "the program ended by itself before $1"
}

expect_exit_within() {
    await_exit "$1" || fail "$2 did not end the program within $1 s (killed)"
}

# Screensaver on a display where 640 x 480 can be set: a pop-up, the landscape, and a key ends it.
case_full_screen() {
    local window
    place_images 1 0
    launch "$SCR" "$@"
    window=$(await_screensaver) || return
    expect_window_kind popup || return
    [ "$(window_geometry "$window")" = "640 480 0 0" ] ||
        fail "X window is $(window_geometry "$window"), not the whole screen" || return
    expect_picture "$window" landscape || return
    expect_running "the key press" || return
    press_key "$window" space
    expect_exit_within 15 "a key press"
}

# Screensaver on a display without a 640 x 480 mode: a bordered window over part of the screen,
# the landscape in it, and mouse movement ends it.
case_window_fallback() {
    local window step
    place_images 1 0
    launch "$SCR" /s
    window=$(await_screensaver) || return
    expect_window_kind bordered || return
    expect_picture "$window" landscape || return
    expect_running "the mouse moved" || return
    for step in $(seq 1 20); do
        program_ended && break
        xdo mousemove $((100 + step * 17)) $((120 + step * 11))
        sleep 0.2
    done
    expect_exit_within 15 "mouse movement"
}

# The image files in neither place: the checkerboard texture over flat ground.
case_missing_images() {
    local window
    place_images 0 0
    launch "$SCR" "$@"
    window=$(await_screensaver) || return
    expect_picture "$window" checkerboard || return
    expect_running "the key press" || return
    press_key "$window" Escape
    expect_exit_within 15 "a key press"
}

# The image files only in the fallback directory: the landscape all the same.
case_fallback_directory() {
    local window
    place_images 0 1
    launch "$SCR" "$@"
    window=$(await_screensaver) || return
    expect_picture "$window" landscape || return
    expect_running "the key press" || return
    press_key "$window" Return
    expect_exit_within 15 "a key press"
}

# A window manager's close request ends the program through its quit message: exit code 0.
case_close_request() {
    local window
    place_images 1 0
    launch "$SCR" /s
    window=$(await_screensaver) || return
    await_drawing "$window" drawn || return
    expect_running "the close request" || return
    DISPLAY="$DISP" timeout 10 "$TOOLS/xclose" "$window" || fail "close request not sent" || return
    expect_exit_within 15 "the close request" || return
    [ "$PROG_STATUS" -eq 0 ] || fail "exit code $PROG_STATUS after the quit message"
}

# Fails when a window titled Quellmoor exists, mapped or not.
no_screensaver_window() {
    [ -z "$(windows_named Quellmoor)" ] || fail "a window titled Quellmoor appeared"
}

ended_or_screensaver_window() { [ -n "$(windows_named Quellmoor)" ] || program_ended; }

# Clicks the middle of the control whose line in CONTROLS (see winprobe) starts with PREFIX.
click_control() {
    local controls=$1 prefix=$2 rect left top right bottom
    rect=$(echo "$controls" | grep -m 1 "^$prefix" | cut -f 3)
    IFS=, read -r left top right bottom <<<"$rect"
    [ -n "$bottom" ] || return 1
    xdo mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) &&
        xdo click 1 && mark "clicked $prefix"
}

# The about box: caption Lumivane, the two lines of text and one OK button; no screensaver window
# before or after it; closing it ends the program. HOW is "return" (press Return), "click" (click
# OK) or "raw" (press Return; the next argument is the exact command-line tail); the remaining
# arguments are the command line.
case_about_box() {
    local how=$1 box controls text_pattern
    shift
    if [ "$how" = raw ]; then
        launch "$TOOLS/winprobe.exe" run "Z:${SCR//\//\\}" "$1"
    else
        launch "$SCR" "$@"
    fi
    box=$(await_window Lumivane 40) || fail "no window titled Lumivane appeared" || return
    no_screensaver_window || return
    controls=$(inspect controls Lumivane) || fail "Wine reports no Lumivane window" || return
    echo "$controls" >"$CASE_DIR/controls.txt"
    text_pattern='^Static	This screensaver was written by Tamsel Varrow\.'
    text_pattern+='\\nYou can contact me at \([^\\]+\)\.	'
    echo "$controls" | grep -Eq "$text_pattern" || fail "about text wrong: $controls" || return
    [ "$(echo "$controls" | grep -c '^Button')" -eq 1 ] &&
        echo "$controls" | grep -q '^Button	OK	' || fail "not one OK button: $controls" || return
    expect_running "the about box was closed" || return
    if [ "$how" = click ]; then
        click_control "$controls" 'Button	OK' || fail "cannot click the OK button" || return
    else
        press_key "$box" Return
    fi
    wait_until 15 ended_or_screensaver_window
    no_screensaver_window || return
    await_exit 0 || fail "closing the about box did not end the program within 15 s (killed)"
}

ended_with_no_window() {
    local names
    names=$(visible_window_names)
    if [ -n "$names" ]; then
        fail "a window appeared: $(echo "$names" | paste -sd ',' -)"
        return 0
    fi
    program_ended
}

# Switches that end the program at once: no window of any kind while it runs.
case_no_run() {
    launch "$SCR" "$@"
    wait_until 30 ended_with_no_window
    [ -z "$CASE_FAIL" ] || return 1
    await_exit 0 || fail "the program did not end within 30 s (killed)"
}

main() {
    # Only a folder this script made (or an empty one) is cleared for the new results.
    if [ -n "$(ls -A "$OUT" 2>/dev/null)" ] && [ ! -e "$OUT/.quellmoor-e2e" ]; then
        echo "e2e: $OUT holds other files; choose another QUELLMOOR_E2E_OUT" >&2
        return 2
    fi
    rm -rf "$OUT"
    mkdir -p "$OUT"
    touch "$OUT/.quellmoor-e2e"
    local started
    started=$(now_ms)
    if ! build_tools >"$OUT/tools.log" 2>&1 || ! prepare_images >>"$OUT/tools.log" 2>&1; then
        echo "FAIL setup: helper tools or test images could not be made (see $OUT/tools.log)"
        echo "0 passed, 1 failed"
        return 1
    fi
    TEXTURE_RG=$("$IM_CONVERT" "$IMAGES/$TEX" -format '%[fx:mean.r / mean.g]' info:)
    if ! create_prefix; then
        echo "FAIL setup: the Wine prefix could not be created (see $OUT/prefix)"
        echo "0 passed, 1 failed"
        return 1
    fi
    echo "e2e: Wine prefix ready after $((($(now_ms) - started) / 1000)) s"

    run_case full-screen-640x480 640x480 case_full_screen /s
    run_case window-fallback-1024x768 1024x768 case_window_fallback
    run_case close-request-exit-code 1024x768 case_close_request
    run_case images-missing-checkerboard 640x480 case_missing_images -s
    run_case images-in-fallback-directory 640x480 case_fallback_directory /S
    run_case about-slash-c 640x480 case_about_box return /c
    run_case about-dash-capital-c 640x480 case_about_box click -C
    run_case about-c-with-handle 640x480 case_about_box return /c:1234
    run_case about-empty-command-line 640x480 case_about_box click
    run_case about-blank-command-line 640x480 case_about_box raw $'  \t \n  '
    run_case no-run-preview 640x480 case_no_run /p 1234
    run_case no-run-slash-a 640x480 case_no_run /a
    run_case no-run-slash-l 640x480 case_no_run /l

    echo "e2e: total $((($(now_ms) - started) / 1000)) s"
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

main
