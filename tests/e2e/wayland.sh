#!/usr/bin/env bash
# The Linux product on a real Wayland compositor (sway headless, see lib/harness.sh): a full-screen
# run on two outputs of different sizes with the landscape on each at its output's size, resting
# until input on either ends it, with nothing left afterwards; every kind of input ending a run;
# -window as a toplevel that the compositor closes; the runs that fail with one line; and
# swayidle starting a run once the seat has been idle.
#
#   tests/e2e/wayland.sh QUELLMOOR
#
# QUELLMOOR is the program, with the two landscape files next to it as the build puts them. A
# program built without its Wayland backend (no libwayland-client) skips every case. Runs as root
# (the compositor and the program run as the harness's user). Logs and screenshots go to
# e2e-wayland/ beside QUELLMOOR.

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 QUELLMOOR" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
QUELLMOOR=$(readlink -f "$1")
DATA=$(dirname "$QUELLMOOR")
export LIBGL_ALWAYS_SOFTWARE=1
# As in x11.sh: Mesa's leftovers at exit are not the program's leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
TWO=wayland:1024x768,800x600
ONE=wayland:1024x768
# The toplevels that toplevels_are compares, as program_toplevels prints them.
LARGE_FULL='quellmoor "Quellmoor" 1024x768+0+0 HEADLESS-1 fullscreen=1'
SMALL_FULL='quellmoor "Quellmoor" 800x600+1024+0 HEADLESS-2 fullscreen=1'
# Of the output of scale 2 and the one beside it: @ stands for the place.
HALF_FULL='quellmoor "Quellmoor" 800x600+@ fullscreen=1'
FLOATING='quellmoor "Quellmoor" 640x480+192+144 HEADLESS-1 fullscreen=0'

quellmoor() { launch -C "$DATA" "$QUELLMOOR" "$@"; }

# The program's toplevels: APP_ID "TITLE" WxH+X+Y OUTPUT fullscreen=N, one a line, sorted.
program_toplevels() { toplevels | grep '^xdg_shell ' | cut -d' ' -f2- | sort; }
toplevels_are() { [ "$(program_toplevels | paste -sd';')" = "$1" ]; }
expect_toplevels() {
    wait_until 30 toplevels_are "$1" ||
        fail "toplevels: $(program_toplevels | paste -sd';'), wanted $1"
}

# The share of the part GEOMETRY of IMAGE that is nearly black.
dark_share() {
    "$IM_CONVERT" "$1" -crop "$2" +repage -colorspace gray -threshold 10% -negate \
        -format '%[fx:mean]' info:
}

# Every output (NAME WxH+X+Y SCALE) shows the landscape over the whole of it; what is wrong goes
# to LANDSCAPE_PROBLEMS.
landscape_everywhere() {
    local name geometry
    while read -r name geometry _; do
        screenshot "$name" "$name" || { LANDSCAPE_PROBLEMS="no screenshot of $name" && return 1; }
        LANDSCAPE_PROBLEMS="$name ($geometry): $(judge_landscape \
            "$(picture_statistics "$CASE_DIR/$name.ppm" "${geometry%%+*}+0+0")" "$TEXTURE_RG")" ||
            return
    done <<<"$(outputs)"
}

# One fullscreen toplevel on each output at its size, the landscape on both, nothing ended by a
# pointer resting on the second output for 10 s; a click there ends the run and takes every
# surface away.
case_two_outputs() {
    move_pointer 1424 300 || return
    quellmoor -root
    await_run "$LARGE_FULL;$SMALL_FULL" || return
    # No cursor drawn where the pointer rests: its black outline would show among the ground.
    [ "$(dark_share "$CASE_DIR/HEADLESS-2.ppm" 24x24+400+300)" = 0 ] ||
        fail "a cursor over the landscape" || return
    sleep 10
    expect_running "10 s of a resting pointer" || return
    click 1
    expect_exit 10 0 || return
    toplevels_are '' || fail "left behind: $(program_toplevels | paste -sd';')"
}

# The run's toplevels are TOPLEVELS and every output shows the landscape: the first frame, which
# throws away what came before it, has been shown.
await_run() {
    expect_toplevels "$1" || return
    wait_until 30 landscape_everywhere || fail "$LANDSCAPE_PROBLEMS"
}

# quit_case INPUT...: a full-screen run ends with status 0 after the input and leaves no surface.
quit_case() {
    quellmoor -root
    await_run "$LARGE_FULL" || return
    "$@"
    expect_exit 10 0 || return
    wait_until 10 toplevels_are '' || fail "left behind: $(program_toplevels | paste -sd';')"
}

# On an output of scale 2 the surface takes buffers of scale 2, so the picture has the output's
# pixels (a buffer of the logical size would fill only a quarter of the output, or be blurred up
# by the compositor), and the landscape fills it; the output beside it starts at its logical
# width.
case_scaled_output() {
    launch -C "$DATA" WAYLAND_DEBUG=client "$QUELLMOOR" -root
    expect_toplevels "${HALF_FULL/@/0+0 HEADLESS-1};${HALF_FULL/@/800+0 HEADLESS-2}" || return
    grep -q 'wl_surface@[0-9]*\.set_buffer_scale(2)' "$CASE_DIR/program.log" ||
        fail "no buffer of scale 2" || return
    wait_until 30 landscape_everywhere || fail "$LANDSCAPE_PROBLEMS" || return
    press_key a
    expect_exit 10 0
}

# sway floats the window, so that it keeps the size it asked for; closed by the compositor.
# Its buffers are 8-bit XRGB (wl_shm format 1) as the X11 window's visual is, though EGL lists
# 10-bit ones first: those would only slow Mesa's software rasterizer.
case_window() {
    local formats
    launch -C "$DATA" WAYLAND_DEBUG=client "$QUELLMOOR" -window
    expect_toplevels "$FLOATING" || return
    swaymsg '[title="^Quellmoor$"] kill' >/dev/null
    expect_exit 10 0 || return
    formats=$(sed -nE 's/.*wl_shm_pool@[0-9]+\.create_buffer\(.*, ([0-9]+)\)$/\1/p' \
        "$CASE_DIR/program.log" | sort -u | paste -sd' ')
    [ "$formats" = 1 ] || fail "buffers of wl_shm formats '$formats', not 1 (XRGB8888)"
}

# failure_case SETUP: the run ends within 10 s with status 1 and one line "quellmoor: ...".
failure_case() {
    case $1 in
    no_compositor) launch -C "$DATA" WAYLAND_DISPLAY=wayland-none "$QUELLMOOR" --wayland -root ;;
    killed)
        quellmoor -root
        expect_toplevels "$LARGE_FULL" || return
        kill_compositor
        ;;
    esac
    expect_exit 10 1 || return
    { [ "$(wc -l <"$CASE_DIR/program.log")" -eq 1 ] &&
        grep -q '^quellmoor: ' "$CASE_DIR/program.log"; } ||
        fail "not one line quellmoor: ... but: $(head -c 300 "$CASE_DIR/program.log")"
}

# The program that swayidle started, a process below it.
idle_run() {
    process_tree "$IDLE_PID" | tail -n +2 | while read -r pid; do
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = quellmoor ] && echo "$pid"
    done | head -n 1
}

idle_run_started() { [ -n "$(idle_run)" ]; }

# After 2 s without input swayidle starts a full-screen run; a key ends it.
case_swayidle() {
    background swayidle "${HOST_RUN[@]}" env -C "$DATA" swayidle -w timeout 2 "'$QUELLMOOR' --root"
    IDLE_PID=${BACKGROUND_PIDS[-1]}
    wait_until 20 idle_run_started || fail "swayidle started no run" || return
    local run
    run=$(idle_run)
    mark "swayidle started $run"
    await_run "$LARGE_FULL" || return
    press_key a
    wait_until 10 process_gone "$run" || fail "the run went on after a key"
}

e2e_begin "$DATA/e2e-wayland"
readelf -d "$QUELLMOOR" | grep -q 'NEEDED.*libwayland-client' ||
    skip_suite "$QUELLMOOR is built without its Wayland backend"
TEXTURE_RG=$(texture_rg "$DATA/quellmoorTex.tga")
run_case two_outputs "$TWO" case_two_outputs
run_case scaled_output wayland:1600x1200@2,800x600 case_scaled_output
run_case quit_key "$ONE" quit_case press_key a
run_case quit_button "$ONE" quit_case click 3
run_case quit_wheel "$ONE" quit_case wheel 1
run_case quit_motion "$ONE" quit_case nudge_pointer 7 5
SWAY_CONFIG='for_window [title="^Quellmoor$"] floating enable' run_case window "$ONE" case_window
run_case fails_without_compositor "$ONE" failure_case no_compositor
run_case fails_when_compositor_killed "$ONE" failure_case killed
run_case swayidle "$ONE" case_swayidle
e2e_end
