#!/usr/bin/env bash
# The Linux product end to end on virtual X displays: full screen with the display-mode change and
# its restoration, two full-screen runs sharing the mode, the window fallback, every way to end a
# run (also under XWayland), the about box, the switches, the checkerboard without data files,
# drawing into a window that another program made, and the runs that cannot happen.
#
#   tests/e2e/x11.sh QUELLMOOR [FALLBACK_DATA_DIRECTORY [SNAPSHOT]]
#
# QUELLMOOR is the program, with the two landscape files next to it as the build puts them;
# FALLBACK_DATA_DIRECTORY is where it looks when the working directory lacks them (the cases that
# use it see it in a private mount namespace, never the machine's own); SNAPSHOT is the snapshot
# renderer (by default the build tree's, tools/snapshot/snapshot). Logs and screenshots go to e2e/
# beside QUELLMOOR. See lib/harness.sh for the rest.

if [ $# -lt 1 ] || [ $# -gt 3 ] || [ ! -x "$1" ]; then
    echo "usage: $0 QUELLMOOR [FALLBACK_DATA_DIRECTORY [SNAPSHOT]]" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
QUELLMOOR=$(readlink -f "$1")
FALLBACK=${2:-}
DATA=$(dirname "$QUELLMOOR")
SNAPSHOT=${3:-$DATA/../tools/snapshot/snapshot}
export LIBGL_ALWAYS_SOFTWARE=1
unset XSCREENSAVER_WINDOW
# In a sanitized build the leak check at exit would end the program with an error: Mesa's driver
# is unloaded by then, and what it leaves cannot be told from the program's own leaks, which the
# unit and GL tests look for. Memory errors are still caught.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

LARGE=1024x768
FULL="screen 1024x768 crtc 1024x768"
SMALL="screen 640x480 crtc 640x480"
# The clear colour (0.5, 0.5, 1.0) fills the top of the picture: the sky above the horizon.
SKY='mean_r >= 118 && mean_r <= 138 && mean_g >= 118 && mean_g <= 138 && mean_b >= 245'
# The landscape texture is green: near the viewer the ground is far from the sky's colour.
GREEN_GROUND='mean_g > mean_r + 10 && mean_g > mean_b + 10'
# The checkerboard is white and a deep pink: red well above green.
CHECKERBOARD_GROUND='mean_r > mean_g + 40'

quellmoor() { launch -C "$DATA" "$QUELLMOOR" "$@"; }
await_quellmoor() { await_window Quellmoor 30 >/dev/null || fail "no window titled Quellmoor"; }
close_quellmoor() { close_window "$(find_window Quellmoor)"; }
await_sky() { wait_until 30 screen_shows "$1" "$SKY" || fail "no sky in $1: $LAST_STATISTICS"; }

# Sky along the top of the WIDTH x HEIGHT area at the origin and green ground at its foot.
expect_landscape() {
    local width=$1 height=$2 band=$(($2 / 10))
    await_sky "${width}x${band}+0+0" || return
    screen_shows "${width}x$((band * 2))+0+$((height - band * 2))" "$GREEN_GROUND" ||
        fail "no green ground at the foot: $LAST_STATISTICS"
}

expect_no_windows_made() { [ "$(windows_made)" -eq 0 ] || fail "$(windows_made) windows made"; }

case_full_screen() {
    offer_mode 640 480 || return
    expect_screen "$FULL" || return
    quellmoor /s
    await_quellmoor || return
    expect_window_facts "$(find_window Quellmoor)" \
        "override=1 geometry=640x480+0+0 viewable=1 closable=1" || return
    expect_screen "$SMALL" || return
    expect_landscape 640 480 || return
    press_key a
    expect_exit 30 0 || return
    expect_screen "$FULL"
}

# The mode comes back however the run ends: killed, interrupted, or with its connection cut by
# the server (as xkill does), after which the program ends with Xlib's error exit.
case_mode_restored() {
    offer_mode 640 480 || return
    quellmoor /s
    wait_until 30 screen_is "$SMALL" || fail "no mode change" || return
    if [ "$1" = connection ]; then
        await_quellmoor || return
        xkill -id "$(find_window Quellmoor)" >/dev/null
        expect_exit 30 1 || return
    else
        signal_program "$1"
    fi
    wait_until 30 screen_is "$FULL" || fail "mode not restored: $(screen_mode)"
}

# Xvfb offers no 640x480 mode on a larger screen, as a monitor without that mode would.
case_window_fallback() {
    quellmoor /s
    await_quellmoor || return
    expect_window_facts "$(find_window Quellmoor)" \
        "override=0 geometry=640x480+0+0 viewable=1 closable=1" || return
    expect_screen "$FULL" || return
    expect_landscape 640 480 || return
    close_quellmoor
    expect_exit 30 0
}

# The mode exists but the screen has 16 bits per pixel, not 32.
case_window_fallback_16_bits() {
    quellmoor /s
    await_quellmoor || return
    expect_window_facts "$(find_window Quellmoor)" \
        "override=0 geometry=640x480+0+0 viewable=1 closable=1" || return
    await_sky 640x48+0+0 || return
    press_key a
    expect_exit 30 0
}

# quit_case ACTION...: a running screensaver ends with exit code 0 after the action.
quit_case() {
    quellmoor /s
    await_quellmoor || return
    await_sky 640x48+0+0 || return
    "$@"
    expect_exit 30 0
}

# Under XWayland (sway) the X focus stays None and the compositor gives the picture, an unmanaged
# surface, the pointer only when it next moves: that move only enters the picture and ends
# nothing. The grabs make the raw input count without the focus: a click, the wheel or one more
# move then ends the run.
case_xwayland_quit() {
    quellmoor --x11 -root
    await_quellmoor || return
    await_sky 640x48+0+0 || return
    nudge_pointer 5 0
    settle
    expect_running "the pointer entered the picture" || return
    "$@"
    expect_exit 10 0
}

# Warping the pointer moves it without a device: only the window sees the motion, so the fifth
# move is what ends the run.
case_quit_fifth_pointer_move() {
    quellmoor /s
    await_quellmoor || return
    await_sky 640x48+0+0 || return
    local i
    for i in 1 2 3 4; do
        warp_pointer $((100 + i * 20)) $((100 + i * 10))
    done
    settle
    expect_running "the fifth pointer move" || return
    warp_pointer 300 300
    expect_exit 30 0
}

focus_is() { [ "$(xdo getwindowfocus 2>/dev/null)" = "$1" ]; }

# The about box comes up for ARGUMENT... as the only window, with no screensaver window, and
# ACTION (Return, Escape, ok: its button clicked, close: a close request) ends the program.
case_about() {
    local action=$1 box width height
    shift
    watch_windows || return
    quellmoor "$@"
    await_window Lumivane 30 >/dev/null || fail "no about box" || return
    ! has_window Quellmoor || fail "a screensaver window came up" || return
    [ "$(windows_made)" -eq 1 ] ||
        fail "$(windows_made) windows made, expected the about box alone" || return
    box=$(find_window Lumivane)
    # The box takes the keyboard itself once it is up, as there is no window manager to give it.
    wait_until 20 focus_is "$box" || fail "the box has no focus" || return
    case $action in
    ok)
        IFS=x+ read -r width height _ <<<"$(window_geometry "$box")"
        # The button sits centred at the foot of the box, 16 pixels above its edge and 26 high.
        xdo mousemove --window "$box" $((width / 2)) $((height - 16 - 13)) click 1
        ;;
    close) close_window "$box" ;;
    *) press_key "$action" ;;
    esac
    expect_exit 30 0
}

# Keys typed into another program's window reach neither the bordered window nor its raw input,
# which counts only while the window has the focus: the run goes on until a key reaches it.
case_keys_elsewhere() {
    make_foreign_window 400 300 || return
    quellmoor /s
    await_quellmoor || return
    await_sky 640x48+0+0 || return
    press_key a "$FOREIGN"
    press_key space
    settle
    expect_running "a key reached its window" || return
    press_key a "$(find_window Quellmoor)"
    expect_exit 30 0
}
case_about_without_display() {
    launch -C "$DATA" -u DISPLAY "$QUELLMOOR" /C
    expect_exit 30 0 || return
    local expected
    expected=$(printf '%s\n%s\n%s' "Lumivane" "This screensaver was written by Tamsel Varrow." \
        "You can contact me at (")
    [ "$(head -c ${#expected} "$CASE_DIR/program.log")" = "$expected" ] ||
        fail "printed: $(cat "$CASE_DIR/program.log")"
}

# The program ends at once with code 0 and makes no window at all.
case_switch() {
    watch_windows || return
    quellmoor "$@"
    expect_exit 30 0 || return
    settle
    expect_no_windows_made
}

# Sets PRIVATE to a command prefix that runs a command in a private mount namespace where the
# fallback folder is "installed" (holds the two landscape files) or "missing", whatever the machine
# has there: a read-only layer over the folder's nearest existing parent adds the folder, or hides
# it with a whiteout (a 0/0 character device). Fails, or skips the case, with the reason.
private_fallback() {
    local layer=$WORK/layer/${CASE_DIR##*/} parent place
    [ -n "$FALLBACK" ] || { skip_case "no fallback folder given" && return 1; }
    parent=$(dirname "$FALLBACK")
    while [ ! -d "$parent" ]; do parent=$(dirname "$parent"); done
    place=$layer/${FALLBACK#"${parent%/}"/}
    mkdir -p "$(dirname "$place")"
    if [ "$1" = installed ]; then
        mkdir "$place" && cp "$DATA/quellmoorMap.tga" "$DATA/quellmoorTex.tga" "$place/"
    else
        mknod "$place" c 0 0
    fi || fail "no layer for $FALLBACK could be made" || return
    PRIVATE=(unshare -m)
    [ "$(id -u)" -eq 0 ] || PRIVATE=(unshare -rm)
    # shellcheck disable=SC2016 # expanded by the inner shell
    PRIVATE+=(sh -c 'mount -t overlay -o "lowerdir=$1:$2" overlay "$2" && shift 2 && exec "$@"'
        sh "$layer" "$parent")
    "${PRIVATE[@]}" true 2>"$CASE_DIR/mount.log" ||
        { skip_case "no private mount namespace: $(head -n 1 "$CASE_DIR/mount.log")" && return 1; }
}

# From the case's empty working directory with no fallback folder: the checkerboard.
case_checkerboard_without_files() {
    private_fallback missing || return 0
    launch "${PRIVATE[@]}" "$QUELLMOOR" /s
    await_quellmoor || return
    await_sky 640x48+0+0 || return
    screen_shows 640x96+0+384 "$CHECKERBOARD_GROUND" ||
        fail "no checkerboard at the foot: $LAST_STATISTICS" || return
    press_key a
    expect_exit 30 0
}

# From a working directory without the files, the ones in the fallback folder are read: the
# folder's name and the file names are joined with a separator.
case_installed_files() {
    private_fallback installed || return 0
    launch "${PRIVATE[@]}" "$QUELLMOOR" /s
    await_quellmoor || return
    expect_landscape 640 480 || return
    press_key a
    expect_exit 30 0
}

# The program's clock: CLOCK_MONOTONIC in milliseconds, wrapping after 2^32.
program_clock() {
    python3 -c 'import time; print(time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 10**6 % 2**32)'
}

# The skyline's mean depth below the top, as a share of the height: the statistics of the part
# GEOMETRY (of HEIGHT rows) of IMAGE.
skyline_share() {
    picture_statistics "$1" "$2" | awk -v height="$3" '{
        for (i = 1; i <= NF; i++) if ($i ~ /^horizon=/) print 0.5 + substr($i, 9) / height }'
}

# The picture in the WIDTH x HEIGHT window at the origin is the frame that the snapshot renderer
# draws at the program's clock, stretched to the window (the projection keeps its aspect of 1):
# its skyline lies within 3 % of the height of the snapshots' over the two seconds before the
# program is held still (under Xvfb the frame shown has been seen to be up to 1.2 s old). A
# picture squeezed into part of the window, or cut off at its top, misses by far more. The held
# program leaves the processor to the snapshots.
expect_frame_of_clock() {
    local width=$1 height=$2 shown end time shares=() lowest highest
    signal_program STOP
    end=$(program_clock)
    screenshot screen || fail "no screenshot" || return
    shown=$(skyline_share "$CASE_DIR/screen.ppm" "${width}x$height+0+0" "$height")
    for ((time = end - 2000; time <= end; time += 250)); do
        "$SNAPSHOT" --time $((time & 0xFFFFFFFF)) --map "$DATA/quellmoorMap.tga" \
            --texture "$DATA/quellmoorTex.tga" "$CASE_DIR/snapshot.png" >>"$CASE_DIR/snapshot.log" \
            2>&1 || fail "the snapshot renderer failed (see snapshot.log)" || return
        shares+=("$(skyline_share "$CASE_DIR/snapshot.png" 640x480+0+0 480)")
    done
    signal_program CONT
    read -r lowest highest <<<"$(printf '%s\n' "${shares[@]}" | sort -g | sed -n '1p;$p' | paste -sd ' ')"
    mark "skyline at $shown of the height, the snapshots' from $lowest to $highest"
    statistics_hold "shown=$shown lowest=$lowest highest=$highest" \
        'shown >= lowest - 0.03 && shown <= highest + 0.03' ||
        fail "skyline at $shown of the height, the snapshots' from $lowest to $highest"
}

# The frame rate in the lower left corner of the last screenshot of a window HEIGHT rows high
# keeps the blank between its number and "fps": the widest run of columns without text between
# its first and last white column is wider than a glyph of the "fixed" font (6 pixels), where the
# letters leave at most 3 between them.
expect_frame_rate_blank() {
    local gap
    gap=$("$IM_CONVERT" "$CASE_DIR/screen.ppm" -crop "120x20+0+$(($1 - 24))" +repage -fuzz 12% \
        -fill black +opaque white -colorspace gray -scale 120x1! -depth 8 txt:- |
        awk -F '[,:]' 'NR > 1 && !/#000000/ { if (seen && $1 - last - 1 > gap) gap = $1 - last - 1
                                              seen = 1; last = $1 } END { print gap + 0 }')
    mark "widest gap in the frame rate text: $gap columns"
    [ "$gap" -ge 6 ] || fail "no blank in the frame rate text (widest gap $gap columns)"
}

make_foreign_window() {
    background foreign "$TOOLS/xhelper" make-window "$1" "$2"
    FOREIGN_PID=${BACKGROUND_PIDS[-1]}
    wait_until 20 grep -qs 0x "$CASE_DIR/foreign.out" || fail "no foreign window" || return
    FOREIGN=$(head -n 1 "$CASE_DIR/foreign.out")
}

# In another program's window there is no mode change, no window of its own, and input is the
# owner's business; the run ends when the window goes away.
case_foreign_window_id() {
    make_foreign_window 320 120 || return
    watch_windows || return
    quellmoor -window-id "$FOREIGN"
    expect_landscape 320 120 || return
    expect_frame_of_clock 320 120 || return
    [ "$(windows_made)" -eq 0 ] ||
        fail "the program made $(windows_made) windows of its own" || return
    expect_screen "$FULL" || return
    press_key a
    nudge_pointer 9 9
    click 1
    settle
    expect_running "its window went away" || return
    # The picture follows the window's size.
    xdo windowsize "$FOREIGN" 1024 300
    expect_landscape 1024 300 || return
    expect_frame_of_clock 1024 300 || return
    kill "$FOREIGN_PID"
    expect_exit 30 0
}

# As XScreenSaver runs its hacks, here with the frame rate shown.
case_foreign_window_environment() {
    make_foreign_window 1024 300 || return
    launch -C "$DATA" XSCREENSAVER_WINDOW="$FOREIGN" "$QUELLMOOR" -root -fps
    expect_landscape 1024 300 || return
    expect_frame_of_clock 1024 300 || return
    expect_frame_rate_blank 300 || return
    expect_screen "$FULL" || return
    # XScreenSaver ends its hacks with SIGTERM.
    signal_program TERM
    expect_exit 30 143
}

case_foreign_window_decimal_id() {
    make_foreign_window 400 300 || return
    quellmoor -window-id "$((FOREIGN))"
    expect_landscape 400 300 || return
    kill "$FOREIGN_PID"
    expect_exit 30 0
}

# A run that cannot happen (ENV... QUELLMOOR ARG...) ends at once with status 1, makes no window
# (a bad window id never falls back to full screen) and says why in one line on stderr.
case_cannot_run() {
    local status
    watch_windows || return
    (cd "$DATA" && exec timeout 30 env "$@") >"$CASE_DIR/stdout.log" 2>"$CASE_DIR/stderr.log"
    status=$?
    mark "ended with $status"
    [ "$status" -eq 1 ] || fail "exit status $status, expected 1" || return
    [ ! -s "$CASE_DIR/stdout.log" ] && [ "$(wc -l <"$CASE_DIR/stderr.log")" -eq 1 ] &&
        grep -q '^quellmoor: ..' "$CASE_DIR/stderr.log" ||
        fail "printed: $(cat "$CASE_DIR/stdout.log" "$CASE_DIR/stderr.log")" || return
    settle
    expect_no_windows_made
}

# An argument the program cannot follow, the last here, is named as it is refused.
case_refused() { case_cannot_run "$QUELLMOOR" "$@" && grep -qF "'${!#}'" "$CASE_DIR/stderr.log"; }

# After a run killed with its guard, the next run's end gives back the mode and size in millimetres.
case_mode_after_guard_killed() {
    local before
    offer_mode 640 480 || return
    before=$(xdpyinfo | grep dimensions:)
    launch -C "$DATA" setsid "$QUELLMOOR" /s
    wait_until 30 screen_is "$SMALL" || fail "no mode change" || return
    kill -KILL -- "-$PROG_PID"; wait "$PROG_PID" 2>/dev/null
    settle && expect_screen "$SMALL" && quit_case press_key a || return
    wait_until 30 screen_is "$FULL" || fail "mode not restored: $(screen_mode)" || return
    [ "$(xdpyinfo | grep dimensions:)" = "$before" ] || fail "$(xdpyinfo | grep dimensions:)"
}

# A button that only raw input sees, pressed while a big texture loads, is dropped: the run goes on.
case_input_during_start_up() {
    cp "$DATA/quellmoorMap.tga" "$CASE_CWD/" || return
    "$IM_CONVERT" -size 4096x4096 xc:green "$CASE_CWD/quellmoorTex.tga" || return
    launch "$QUELLMOOR" /s
    await_quellmoor && sleep 0.5 && click 1 && ! screen_shows 640x48+0+0 "$SKY" ||
        fail "no window, or a frame before the button" || return
    await_sky 640x48+0+0 && settle && expect_running "a frame after the button" && press_key a
    expect_exit 30 0
}

# Two full-screen runs share the changed mode: when the one named by ENDS_FIRST (first, second)
# ends, the other still fills the screen at 640x480, and the mode comes back after both.
case_two_full_screen_runs() {
    local run
    offer_mode 640 480 || return
    quellmoor /s
    await_quellmoor || return
    wait_until 30 screen_is "$SMALL" || fail "no mode change" || return
    background second env -C "$DATA" "$QUELLMOOR" /s
    SECOND=${BACKGROUND_PIDS[-1]}
    wait_until 30 two_windows || fail "no second window" || return
    for run in "$1" "$([ "$1" = first ] && echo second || echo first)"; do
        end_run "$run" || return
        [ "$run" != "$1" ] || { settle && expect_landscape 640 480 && expect_screen "$SMALL"; } ||
            return
    done
    wait_until 30 screen_is "$FULL" || fail "mode not restored: $(screen_mode)"
}

primary_shows_landscape() {
    take_statistics 640x480+0+0 && judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG" >/dev/null
}

# Two monitors, a window on the coloured desktop of the second: the run shows the landscape on the
# primary and nothing of the desktop on the second, where a resting pointer ends nothing and a
# move ends the run (or it is killed with SIGNAL); both monitors come back as they were. The
# desktop and its window, without red, are seen on the second monitor before the run: the later
# check for black could otherwise pass on a picture it cannot read.
case_two_monitors() {
    local before second verdict
    before=$(monitors | paste -sd' ') second=$(monitor 1)
    paint_root '#007f62'
    desktop_window 400x300+1100+100 '#00c0e0' || return
    { screenshot desktop && ! image_black "$CASE_DIR/desktop.ppm" "$second" >/dev/null; } ||
        fail "the desktop does not show on the second monitor before the run" || return
    move_pointer 1400 300
    quellmoor /s
    await_quellmoor || return
    monitors_are "640x480+0+0 $second" || fail "monitors $(monitors)" || return
    expect_window_facts "$(find_window 'Quellmoor cover')" \
        "override=1 geometry=$second viewable=1 closable=0" || return
    # Titles are told apart whole: the picture is the one window titled Quellmoor.
    [ "$(windows_named Quellmoor | wc -l)" -eq 1 ] || fail "not one window titled Quellmoor" ||
        return
    wait_until 30 primary_shows_landscape ||
        fail "primary: $(judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG")" || return
    verdict=$(image_black "$CASE_DIR/screen.ppm" "$second") ||
        fail "$verdict of the second monitor shows the desktop" || return
    if [ -n "${1:-}" ]; then
        signal_program "$1"
    else
        sleep 10
        expect_running "a move on the second monitor" || return
        [ "$(xdo getmouselocation | cut -d' ' -f1-2)" = "x:1400 y:300" ] ||
            fail "the pointer left the second monitor: $(xdo getmouselocation)" || return
        nudge_pointer 7 5
        expect_exit 30 0 || return
    fi
    wait_until 30 monitors_are "$before" || fail "monitors $(monitors), not $before" || return
    ! has_window "Quellmoor cover" || fail "a cover is left"
}

landscape_at() {
    take_statistics "$1" && judge_landscape "$LAST_STATISTICS" "$TEXTURE_RG" >/dev/null
}
# COVERS covers are up, the landscape is at PICTURE and each of AREAS is black.
desk_covered() {
    local area
    [ "$(windows_named "Quellmoor cover" 1 | wc -l)" -eq "$3" ] && landscape_at "$1" || return
    for area in $2; do image_black "$CASE_DIR/screen.ppm" "$area" >/dev/null || return; done
}
monitors_extent() {
    monitors | awk -F '[x+]' '$1 + $3 > w { w = $1 + $3 } $2 + $4 > h { h = $2 + $4 }
                             END { print w "x" h }'
}

# A -root run on a desk that the command SETUP makes, changed by the command CHANGE while it runs:
# then COVERS covers are up, the landscape at PICTURE and BLACK (WxH+X+Y...) black. END
# ends the run (key, KILL, or move: a move at 2400,500); then the monitors are AFTER (- for as
# before) on a screen that just holds them.
case_desk() {
    local setup=$1 change=$2 picture=$3 black=$4 covers=$5 end=$6 after=$7 before
    $setup && before=$(monitors | paste -sd' ') || fail "no desk: $setup" || return
    paint_root '#2a7f62'
    move_pointer 1400 300
    quellmoor --x11 -root
    await_quellmoor && wait_until 30 landscape_at "$picture" || fail "no landscape" || return
    # A few screenshots' time: on a loaded machine each takes a second or more, and the flight
    # may show a flat horizon in one of them.
    $change && wait_until 10 desk_covered "$picture" "$black" "$covers" ||
        fail "not covered: $change" || return
    case $end in
    key) press_key a && expect_exit 30 0 ;;
    move) warp_pointer 2400 500 && nudge_pointer 7 5 && expect_exit 30 0 ;;
    *) signal_program "$end" ;;
    esac || return
    wait_until 30 monitors_are "${after/#-/$before}" || fail "monitors $(monitors)" || return
    [ "$(screen_mode | cut -d' ' -f2)" = "$(monitors_extent)" ] || fail "$(screen_mode)"
}
# A monitor plugged in, and once it is covered, the second made primary and moved down.
plug_and_move() {
    plug_monitor DUMMY2 1280x1024 DUMMY1 &&
        wait_until 10 desk_covered 640x480+0+0 1280x1024+1824+0 2 &&
        xrandr --output DUMMY1 --primary --pos 1024x168
}
clone_primary() { plug_monitor DUMMY2 1024x768 DUMMY1 && xrandr --output DUMMY2 --same-as DUMMY0; }

two_windows() { [ "$(windows_named Quellmoor 1 | wc -l)" -eq 2 ]; }

# Ends the first run (the case's program) or the second (SECOND) as XScreenSaver would.
end_run() {
    if [ "$1" = first ]; then
        signal_program TERM
        expect_exit 30 143
    else
        kill -TERM "$SECOND"
        wait_until 30 process_gone "$SECOND" || fail "the second run did not end"
    fi
}

e2e_begin "$DATA/e2e"
if [ ! -f "$DATA/quellmoorMap.tga" ] || [ ! -f "$DATA/quellmoorTex.tga" ]; then
    e2e_abort "the landscape files are not next to $QUELLMOOR"
fi
command -v xkill >/dev/null || skip_suite "xkill is missing"
command -v python3 >/dev/null || skip_suite "python3 is missing"
[ -x "$SNAPSHOT" ] || e2e_abort "no snapshot renderer at $SNAPSHOT"
TEXTURE_RG=$(texture_rg "$DATA/quellmoorTex.tga")

run_case full_screen $LARGE case_full_screen
run_case mode_restored_after_kill $LARGE case_mode_restored KILL
run_case mode_restored_after_interrupt $LARGE case_mode_restored INT
run_case mode_restored_after_lost_connection $LARGE case_mode_restored connection
run_case window_fallback $LARGE case_window_fallback
run_case window_fallback_16_bits 640x480x16 case_window_fallback_16_bits
run_case quit_key $LARGE quit_case press_key a
run_case quit_button $LARGE quit_case click 1
run_case quit_wheel $LARGE quit_case click 5
run_case quit_relative_motion $LARGE quit_case nudge_pointer 7 5
run_case quit_fifth_pointer_move $LARGE case_quit_fifth_pointer_move
run_case quit_close_request $LARGE quit_case close_quellmoor
run_case keys_elsewhere_go_on $LARGE case_keys_elsewhere
run_case xwayland_quit_button "xwayland:$LARGE" case_xwayland_quit click 1
run_case xwayland_quit_wheel "xwayland:$LARGE" case_xwayland_quit wheel 1
run_case xwayland_quit_motion "xwayland:$LARGE" case_xwayland_quit nudge_pointer 7 5
run_case about_return $LARGE case_about Return /c
run_case about_ok_button $LARGE case_about ok -c:1234
run_case about_close_request $LARGE case_about close '\c'
run_case about_empty_command_line $LARGE case_about Escape
run_case about_without_display $LARGE case_about_without_display
run_case switch_preview $LARGE case_switch /p 1234
run_case switch_password $LARGE case_switch /a
run_case switch_l $LARGE case_switch -l
run_case switch_capital_p $LARGE case_switch /P
run_case switch_run_and_preview $LARGE case_switch /s -preview
run_case checkerboard_without_files $LARGE case_checkerboard_without_files
run_case installed_files $LARGE case_installed_files
run_case foreign_window_id $LARGE case_foreign_window_id
run_case foreign_window_environment $LARGE case_foreign_window_environment
run_case foreign_window_decimal_id $LARGE case_foreign_window_decimal_id
run_case two_full_screen_runs_first_ends_first $LARGE case_two_full_screen_runs first
run_case two_full_screen_runs_second_ends_first $LARGE case_two_full_screen_runs second
run_case two_monitors 1024x768,800x600 case_two_monitors
run_case two_monitors_killed 1024x768,800x600 case_two_monitors KILL
# The server lists the primary's CRTC first: made primary, the second monitor's CRTC is the first.
run_case monitor_plugged 1024x768,800x600 case_desk true plug_and_move 640x480+0+0 \
    "800x600+1024+168 1280x1024+1824+0" 2 move "800x600+1024+168 1024x768+0+0 1280x1024+1824+0"
run_case monitor_unplugged_killed 1024x768,800x600 case_desk true "unplug_monitor DUMMY1" \
    640x480+0+0 "" 0 KILL 1024x768+0+0
# Turning a monitor off, xrandr moves the others up and left: the second to where the picture is.
run_case primary_turned_off 1024x768,800x600 case_desk true "unplug_monitor DUMMY0" 640x480+0+0 \
    160x600+640+0 1 key 800x600+0+0
run_case primary_given_a_mode 1024x768,800x600 case_desk true \
    "xrandr --output DUMMY0 --mode 800x600" 640x480+0+0 160x600+640+0 2 key \
    "800x600+0+0 800x600+1024+0"
run_case primary_on_the_right 1024x768,800x600 case_desk "xrandr --output DUMMY1 --primary" true \
    640x480+1024+0 1024x768+0+0 1 key -
run_case clone_larger_than_picture 1024x768,800x600 case_desk clone_primary true 640x480+0+0 \
    "384x768+640+0 800x600+1024+0" 2 key -
XVFB_OPTIONS='-extension GLX' run_case cannot_run_without_glx $LARGE case_cannot_run "$QUELLMOOR" -root
run_case cannot_run_without_display $LARGE case_cannot_run DISPLAY=:none "$QUELLMOOR" /s
run_case cannot_run_id_nonsense $LARGE case_cannot_run "$QUELLMOOR" -window-id nonsense
run_case cannot_run_id_missing $LARGE case_cannot_run "$QUELLMOOR" -window-id
run_case cannot_run_id_zero $LARGE case_cannot_run "$QUELLMOOR" --window-id 0
run_case cannot_run_id_of_no_window $LARGE case_cannot_run "$QUELLMOOR" -window-id 0x7ffffe
for arguments in --windows "/s -h" --window-id=0x42 "--help -x" "-root --delay"; do
    # shellcheck disable=SC2086 # split into the arguments on purpose
    run_case "refused${arguments//[^a-z]/_}" $LARGE case_refused $arguments
done
run_case mode_after_guard_killed $LARGE case_mode_after_guard_killed
run_case input_during_start_up $LARGE case_input_during_start_up
for value in nonsense 0 0x7ffffe; do
    run_case "cannot_run_environment_$value" $LARGE case_cannot_run XSCREENSAVER_WINDOW=$value \
        "$QUELLMOOR" -root
done
e2e_end
