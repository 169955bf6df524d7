#!/usr/bin/env bash
# The Windows screensaver under Wine, each case on its own Xvfb display and in its own Wine
# session, all in one fresh 64-bit Wine prefix; a 32-bit screensaver runs in its 32-bit half.
#
#   tests/e2e/wine.sh SCR_PATH 64|32 [DATA_DIR]
#
# DATA_DIR (by default the directory of SCR_PATH) supplies quellmoorMap.tga and quellmoorTex.tga;
# when it lacks them, made-up ones are drawn with ImageMagick. Logs and screenshots go to e2e/
# beside SCR_PATH. Under 32 bits Wine usually runs emulated (qemu-i386), several times slower,
# with every time limit stretched. See lib/harness.sh for the rest.

if [ $# -lt 2 ] || [ $# -gt 3 ] || [ ! -f "$1" ] || [[ ! $2 =~ ^(32|64)$ ]]; then
    echo "usage: $0 SCR_PATH 64|32 [DATA_DIR]" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
SCR=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
BITS=$2
DATA_DIR=$(cd "${3:-$(dirname "$SCR")}" && pwd) || exit 2
[ "$BITS" = 32 ] && E2E_PATIENCE=4

MAP=quellmoorMap.tga
TEX=quellmoorTex.tga
# Windows style bits that tell the two kinds of window apart.
WS_POPUP=0x80000000
WS_BORDER_SYSMENU=0x00880000

# The shipped images when DATA_DIR has both; otherwise a grey height map of round hills 32 units
# apart, so that hills are in view from everywhere, and a texture of one hue at varying
# brightness, both uncompressed TGA (types 3 and 2).
prepare_images() {
    IMAGES=$WORK/images
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

# Where the program looks for its images: the working directory, the fallback directory (the
# system folder that a program of this bitness sees), both or neither.
place_images() {
    rm -f "$SYSTEM32/$MAP" "$SYSTEM32/$TEX" "$CASE_CWD/$MAP" "$CASE_CWD/$TEX"
    [ "$1" = 0 ] || cp "$IMAGES/$MAP" "$IMAGES/$TEX" "$CASE_CWD/"
    [ "$2" = 0 ] || cp "$IMAGES/$MAP" "$IMAGES/$TEX" "$SYSTEM32/"
}

# Places the images, starts the screensaver with ARGS and sets WINDOW to its window once shown.
screensaver() {
    place_images "$1" "$2"
    shift 2
    launch "$WINE" "$SCR" "$@"
    WINDOW=$(await_window Quellmoor 40) || fail "no window titled Quellmoor appeared"
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
        [ "$window" = 0,0,640,480 ] || fail "pop-up not 640 x 480 at (0, 0): $lines"
        return
    fi
    [ $((style & WS_POPUP)) -eq 0 ] &&
        [ $((style & WS_BORDER_SYSMENU)) -eq $((WS_BORDER_SYSMENU)) ] ||
        fail "not a bordered window with a system menu: $lines" || return
    local adjusted left top right bottom
    adjusted=$(inspect adjust 0 0 644 504 "$WS_BORDER_SYSMENU" 0x40000) ||
        fail "AdjustWindowRectEx failed" || return
    IFS=, read -r left top right bottom <<<"$adjusted"
    [ "$window" = "0,0,$((right - left)),$((bottom - top))" ] ||
        fail "window rectangle $window, expected 644 x 504 adjusted ($adjusted) at (0, 0)"
}

# Waits until WINDOW shows the clear colour at its top.
await_drawing() {
    local geometry
    geometry=$(window_geometry "$1") || fail "no geometry for window $1" || return
    wait_until 30 screen_shows "$geometry" 'top_sky > 0.1' ||
        fail "nothing drawn in the window within 30 s"
}

# Checks that the window shows KIND, the landscape or the checkerboard: first the screenshot that
# shows the first frame, then up to five more a second and a half apart, since the camera moves
# and a hill right in front of it can hide the sky for a moment.
expect_picture() {
    local kind=$1 attempt verdict geometry
    await_drawing "$WINDOW" || return
    geometry=$(window_geometry "$WINDOW")
    for attempt in 1 2 3 4 5 6; do
        if [ "$attempt" -gt 1 ]; then
            sleep 1.5
            take_statistics "$geometry" || fail "screenshot failed" || return
        fi
        cp "$CASE_DIR/screen.ppm" "$CASE_DIR/$kind-$attempt.ppm"
        if [ "$kind" = landscape ]; then
            verdict=$(judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG") && return 0
        else
            verdict=$(judge_checkerboard "$LAST_STATISTICS") && return 0
        fi
    done
    fail "not the $kind: $verdict [$LAST_STATISTICS]"
}

# The application manifest that Windows reads at start, as the build put it into the .scr: run as
# the user, written for Windows 7 to 11, and aware of every monitor's scaling (so that 640 x 480
# is 640 x 480 pixels).
expect_manifest() {
    local manifest line
    manifest=$(wrestool -x --raw --type=24 --name=1 "$SCR") || fail "no manifest in $SCR" || return
    echo "$manifest" >"$CASE_DIR/manifest.xml"
    # The supportedOS ids of Windows 7, 8, 8.1 and 10 (which 11 shares).
    for line in 'requestedExecutionLevel level="asInvoker"' '>PerMonitorV2, PerMonitor</dpiAwareness>' \
        '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
        '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
        grep -qF "$line" <<<"$manifest" || fail "the manifest lacks $line" || return
    done
}

# Screensaver on a display where 640 x 480 can be set: the manifest, then a pop-up, the landscape,
# and a key ends it.
case_full_screen() {
    expect_manifest || return
    screensaver 1 0 "$@" || return
    expect_window_kind popup || return
    [ "$(window_geometry "$WINDOW")" = 640x480+0+0 ] ||
        fail "X window is $(window_geometry "$WINDOW"), not the whole screen" || return
    expect_picture landscape || return
    expect_running "the key press" || return
    press_key space "$WINDOW"
    expect_exit 15 - "a key press"
}

# Screensaver on a display without a 640 x 480 mode: a bordered window over part of the screen,
# the landscape in it, and mouse movement ends it.
case_window_fallback() {
    local step
    screensaver 1 0 /s || return
    expect_window_kind bordered || return
    expect_picture landscape || return
    expect_running "the mouse moved" || return
    for step in $(seq 1 20); do
        program_ended && break
        move_pointer $((100 + step * 17)) $((120 + step * 11))
        sleep 0.2
    done
    expect_exit 15 - "mouse movement"
}

# The images where PLACES (as for place_images) says, the picture KIND, and KEY ends it.
case_images() {
    local in_cwd=$1 in_system32=$2 kind=$3 key=$4
    shift 4
    screensaver "$in_cwd" "$in_system32" "$@" || return
    expect_picture "$kind" || return
    expect_running "the key press" || return
    press_key "$key" "$WINDOW"
    expect_exit 15 - "a key press"
}

# A window manager's close request ends the program through its quit message: exit code 0.
case_close_request() {
    screensaver 1 0 /s || return
    await_drawing "$WINDOW" || return
    expect_running "the close request" || return
    close_window "$WINDOW" || return
    expect_exit 15 0 "the close request"
}

# The window procedure lets a button click and a wheel turn pass: only the mouse read through
# DirectInput can end the run on BUTTON (xdotool's 1 to 3, and 4 or 5 for the wheel).
case_mouse_button() {
    screensaver 1 0 /s || return
    await_drawing "$WINDOW" || return
    expect_running "the mouse button" || return
    click "$1"
    expect_exit 15 - "mouse button $1"
}

# A fresh Wine session (each case starts one) reports where the pointer rests as the mouse's first
# movement: the run lasts 10 s with the pointer still, then ends on a real movement.
case_resting_pointer() {
    move_pointer 230 310
    screensaver 1 0 /s && await_drawing "$WINDOW" || return
    sleep 10
    expect_running "a real movement" || return
    nudge_pointer 9 7
    expect_exit 15 - "a real movement"
}

# Two monitors, the root painted, an ordinary and an always-on-top window on the second. The mode
# change moves the second monitor beside the smaller primary: one screenshot shows the landscape
# on the primary and only black where the second now is, where the cover is above the other
# window in the z-order too. The pointer left on the second monitor (the X server puts it on
# the primary's edge while that monitor moves) ends nothing; a move onto it ends the run; both
# monitors have their modes and places back afterwards.
case_every_monitor_covered() {
    local desktop second width height left top
    paint_root '#40a0c0' && desktop_window 400x300+1100+100 '#e0c040' || return
    background topmost "$WINE64" "$WINPROBE" topmost 1250 350 150 100
    wait_until 20 has_window 'always on top' || fail "no always-on-top window" || return
    desktop=$(monitors)
    move_pointer 1300 400
    screensaver 1 0 /s && expect_window_kind popup && expect_picture landscape || return
    second=$(monitor 1)
    image_black "$CASE_DIR/screen.ppm" "$second" >/dev/null ||
        fail "the desktop shows on the second monitor ($second)" || return
    inspect order >"$CASE_DIR/order.txt"
    [ "$(grep -m 1 -E '^(tamsel cover|Static)$' "$CASE_DIR/order.txt")" = 'tamsel cover' ] ||
        fail "the always-on-top window is above the cover (order.txt)" || return
    sleep 10
    expect_running "a move on the second monitor" || return
    IFS=x+ read -r width height left top <<<"$second"
    move_pointer $((left + width / 2)) $((top + height / 2))
    expect_exit 15 - "a move on the second monitor" || return
    [ "$(monitors)" = "$desktop" ] ||
        fail "monitors $(monitors | paste -sd ' '), not $(echo "$desktop" | paste -sd ' ')"
}

covers() { inspect order | grep -c '^tamsel cover$'; }

shows_black() {
    local part
    screenshot screen || return
    for part in "$@"; do image_black "$CASE_DIR/screen.ppm" "$part" >/dev/null || return; done
}

# A monitor plugged in during the run turns black (within a second here; the limit allows for a
# busy machine), a move on it ends the run, and it stays on (Wine keeps the primary at 640x480).
case_monitor_plugged_in() {
    local added width height left top
    paint_root '#40a0c0' && move_pointer 300 200 && screensaver 1 0 /s || return
    expect_picture landscape && plug_monitor DUMMY2 1280x1024 DUMMY1 || return
    added=$(monitors | grep '^1280x1024')
    wait_until 10 shows_black "$added" || fail "the desktop shows on the new monitor" || return
    [ "$(covers)" = 2 ] || fail "$(covers) covers over the two other monitors" || return
    IFS=x+ read -r width height left top <<<"$added"
    move_pointer $((left + width / 2)) $((top + height / 2))
    expect_exit 15 - "a move on the new monitor" || return
    monitors | grep -q '^1280x1024+' || fail "the new monitor turned off after the run"
}

# OUTPUT turned off during the run, the pointer on a monitor that stays at X Y, stays off, and the
# monitors afterwards match AFTER: the primary has its own mode back, or, turned off itself, ends
# the run (no input comes) and stays off.
case_monitor_unplugged() {
    move_pointer "$3" "$4" && screensaver 1 0 /s && expect_picture landscape || return
    unplug_monitor "$1" || return
    if [ "$1" != DUMMY0 ]; then
        settle
        [ "$(covers)" = 0 ] || fail "a cover stays where the monitor was" || return
        expect_running "the key press" && press_key space "$WINDOW"
    fi
    expect_exit 15 - "$1 was turned off" || return
    [[ "$(monitors | paste -sd' ')" =~ ^$2$ ]] || fail "monitors $(monitors | paste -sd' ') after"
}

# A mirror of the primary as the run starts, which Wine counts as a monitor of its own: the run is
# the bordered window, since Wine would move the mirror away for good at a mode change.
case_mirror_kept() {
    local desktop
    xrandr --output DUMMY1 --mode 800x600 --same-as DUMMY0 || fail "no mirror made" || return
    desktop=$(monitors | paste -sd' ')
    screensaver 1 0 /s && expect_window_kind bordered && press_key space "$WINDOW" || return
    expect_exit 15 - "a key press" && { monitors_are "$desktop" || fail "the mirror moved"; }
}

# A mirror larger than the picture that appears during the run is black around the picture.
case_mirror_plugged_in() {
    paint_root '#40a0c0' && screensaver 1 0 /s && expect_picture landscape || return
    xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY1 --mode 1024x768 --same-as DUMMY0 ||
        fail "no mirror made" || return
    wait_until 10 shows_black 384x480+640+0 1024x288+0+480 ||
        fail "the desktop shows on the mirror outside the picture" || return
    expect_picture landscape && press_key space "$WINDOW" && expect_exit 15 - "a key press"
}

no_screensaver_window() { ! has_window Quellmoor || fail "a window titled Quellmoor appeared"; }
ended_or_screensaver_window() { has_window Quellmoor || program_ended; }

# Clicks the middle of the control whose line in CONTROLS (see winprobe) starts with PREFIX.
click_control() {
    local rect left top right bottom
    rect=$(echo "$1" | grep -m 1 "^$2" | cut -f 3)
    IFS=, read -r left top right bottom <<<"$rect"
    [ -n "$bottom" ] && click 1 $(((left + right) / 2)) $(((top + bottom) / 2))
}

# The about box: caption Lumivane, the two lines of text and one OK button; no screensaver window
# before or after it; closing it ends the program. HOW is "return" (press Return), "click" (click
# OK) or "raw" (press Return; the next argument is the exact command-line tail); the remaining
# arguments are the command line.
case_about_box() {
    local how=$1 box controls text_pattern
    shift
    if [ "$how" = raw ]; then
        launch "$WINE64" "$WINPROBE" run "Z:${SCR//\//\\}" "$1"
    else
        launch "$WINE" "$SCR" "$@"
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
        press_key Return "$box"
    fi
    wait_until 15 ended_or_screensaver_window
    no_screensaver_window || return
    program_ended || fail "closing the about box did not end the program within 15 s" || return
    expect_exit 0
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
    launch "$WINE" "$SCR" "$@"
    wait_until 30 ended_with_no_window || fail "the program did not end within 30 s" || return
    [ -z "$CASE_FAIL" ] || return 1
    expect_exit 0
}

e2e_begin "$(dirname "$SCR")/e2e"
prepare_images >>"$OUT/tools.log" 2>&1 || e2e_abort "no test images (see $OUT/tools.log)"
TEXTURE_RG=$(texture_rg "$IMAGES/$TEX")
wine_prefix "$BITS"

run_case full-screen-640x480 640x480 case_full_screen /s
run_case window-fallback-1024x768 1024x768 case_window_fallback
run_case close-request-exit-code 1024x768 case_close_request
run_case button-click-ends-run 640x480 case_mouse_button 1
run_case wheel-turn-ends-run 640x480 case_mouse_button 5
run_case resting-pointer-waits-for-a-move 640x480 case_resting_pointer
run_case every-monitor-covered 1024x768,800x600 case_every_monitor_covered
run_case monitor-plugged-in 1024x768,800x600 case_monitor_plugged_in
run_case mirror-kept 1024x768,800x600 case_mirror_kept
run_case mirror-plugged-in 1024x768,800x600 case_mirror_plugged_in
run_case monitor-unplugged 1024x768,800x600 case_monitor_unplugged DUMMY1 '1024x768\+0\+0' 300 200
run_case primary-unplugged 1024x768,800x600 case_monitor_unplugged DUMMY0 '800x600\+.+' 1300 400
run_case images-missing-checkerboard 640x480 case_images 0 0 checkerboard Escape -s
run_case images-in-fallback-directory 640x480 case_images 0 1 landscape Return /S
run_case about-slash-c 640x480 case_about_box return /c
run_case about-dash-capital-c 640x480 case_about_box click -C
run_case about-c-with-handle 640x480 case_about_box return /c:1234
run_case about-empty-command-line 640x480 case_about_box click
run_case about-blank-command-line 640x480 case_about_box raw $'  \t \n  '
run_case no-run-preview 640x480 case_no_run /p 1234
run_case no-run-slash-a 640x480 case_no_run /a
run_case no-run-slash-l 640x480 case_no_run /l
e2e_end
