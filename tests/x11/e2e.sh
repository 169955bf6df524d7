#!/usr/bin/env bash
# The Linux product end to end on virtual X displays: full screen with the display-mode change and
# its restoration, the window fallback, every way to end a run, the about box, the switches, the
# checkerboard without data files, and drawing into a window that another program made.
# Every case gets its own Xvfb (a free display number chosen by the server), every wait is
# bounded, and the last line says how many cases passed and failed.
#
# Usage: e2e.sh QUELLMOOR HELPER [FALLBACK_DATA_DIRECTORY]
#   QUELLMOOR  the program; the two landscape files are expected next to it, as the build puts them
#   HELPER     the x11-test-helper program of this folder
#   FALLBACK_DATA_DIRECTORY  where the program looks when the working directory lacks the files

set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 QUELLMOOR HELPER [FALLBACK_DATA_DIRECTORY]" >&2
    exit 2
fi
quellmoor=$(readlink -f "$1")
helper=$(readlink -f "$2")
fallback_directory=${3:-}
data_directory=$(dirname "$quellmoor")
for tool in Xvfb xdotool import convert xdpyinfo xwininfo xkill; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: $tool is missing" >&2
        exit 2
    fi
done
if [ ! -f "$data_directory/quellmoorMap.tga" ] || [ ! -f "$data_directory/quellmoorTex.tga" ]; then
    echo "e2e: the landscape files are not next to $quellmoor" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quellmoor-e2e.XXXXXX")
empty_directory=$work/empty
mkdir -p "$empty_directory"
export LIBGL_ALWAYS_SOFTWARE=1
unset XSCREENSAVER_WINDOW
# In a sanitized build the leak check at exit would end the program with an error: Mesa's driver
# is unloaded by then, and what it leaves cannot be told from the program's own leaks, which the
# unit and GL tests look for. Memory errors are still caught.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

passed=0
failed=0
failed_names=()
skipped_names=()
# A case returns this when what it checks cannot be set up on this machine.
SKIPPED=77
case_name=
xvfb_pid=
program_pid=
background_pids=()

# ---------------------------------------------------------------------------------------------
# Waiting, processes and displays

# wait_until SECONDS COMMAND...: succeeds as soon as COMMAND does, fails when the time is up.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    while ! "$@"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            return 1
        fi
        sleep 0.1
    done
}

# True once the process has ended (a child that has ended but is not yet reaped counts).
has_ended() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null)
    [ -z "$state" ] || [ "${state:0:1}" = Z ]
}

# Lets events reach the program before the test looks for something that must not happen.
settle() {
    sleep 1.5
}

start_display() {
    local number_file=$work/$case_name.display
    : >"$number_file"
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$number_file" \
        >"$work/$case_name.xvfb.log" 2>&1 &
    xvfb_pid=$!
    if ! wait_until 30 test -s "$number_file"; then
        echo "    Xvfb did not start"
        return 1
    fi
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
    wait_until 30 xdpyinfo >/dev/null 2>&1
}

stop_everything() {
    local pid
    if [ -n "$program_pid" ] && ! has_ended "$program_pid"; then
        kill -KILL "$program_pid" 2>/dev/null
    fi
    for pid in "${background_pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${background_pids[@]}" $program_pid; do
        wait "$pid" 2>/dev/null
    done
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    xvfb_pid=
    program_pid=
    background_pids=()
}

trap 'stop_everything; rm -rf "$work"' EXIT

# launch DIRECTORY ARGUMENT...: starts the program in DIRECTORY.
launch() {
    local directory=$1
    shift
    (cd "$directory" && exec "$quellmoor" "$@") >"$work/$case_name.out" 2>&1 &
    program_pid=$!
}

# expect_exit SECONDS CODE: the program ends within the time with the exit code.
expect_exit() {
    if ! wait_until "$1" has_ended "$program_pid"; then
        echo "    the program did not end within $1 s"
        return 1
    fi
    wait "$program_pid"
    local code=$?
    program_pid=
    if [ "$code" -ne "$2" ]; then
        echo "    exit code $code, expected $2"
        return 1
    fi
}

expect_running() {
    if has_ended "$program_pid"; then
        echo "    the program ended: $1"
        return 1
    fi
}

# background COMMAND...: runs a helper for the rest of the case; its output goes to
# $work/$case_name.<n>.out, where n counts the helpers of the case from 0.
background() {
    "$@" >"$work/$case_name.${#background_pids[@]}.out" 2>&1 &
    background_pids+=($!)
    last_output=$work/$case_name.$((${#background_pids[@]} - 1)).out
}

# ---------------------------------------------------------------------------------------------
# What the display shows

find_window() {
    xdotool search --name "^$1\$" 2>/dev/null | head -n 1
}

has_window() {
    [ -n "$(find_window "$1")" ]
}

expect_window_facts() {
    local facts
    facts=$("$helper" window "$1")
    if [ "$facts" != "$2" ]; then
        echo "    window: $facts"
        echo "    wanted: $2"
        return 1
    fi
}

expect_screen() {
    local screen
    screen=$("$helper" screen)
    if [ "$screen" != "$1" ]; then
        echo "    $screen, expected $1"
        return 1
    fi
}

screen_is() {
    [ "$("$helper" screen)" = "$1" ]
}

# mean_colour GEOMETRY: the mean red, green and blue (0 to 255) of a region of the screen.
mean_colour() {
    local shot=$work/$case_name.png
    import -window root "$shot" 2>/dev/null &&
        convert "$shot" -crop "$1" +repage -format \
            '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)] %[fx:round(255*mean.b)]' info:
}

# The clear colour (0.5, 0.5, 1.0) fills the top of the picture: the sky above the horizon.
shows_sky() {
    local r g b
    read -r r g b < <(mean_colour "$1")
    [ -n "$b" ] && [ "$r" -ge 118 ] && [ "$r" -le 138 ] && [ "$g" -ge 118 ] && [ "$g" -le 138 ] &&
        [ "$b" -ge 245 ]
}

# The landscape texture is green: near the viewer the ground is far from the sky's colour.
shows_green_ground() {
    local r g b
    read -r r g b < <(mean_colour "$1")
    [ -n "$b" ] && [ "$g" -gt "$((r + 10))" ] && [ "$g" -gt "$((b + 10))" ]
}

# The checkerboard is white and a deep pink: red well above green.
shows_checkerboard_ground() {
    local r g b
    read -r r g b < <(mean_colour "$1")
    [ -n "$b" ] && [ "$r" -gt "$((g + 40))" ]
}

# expect_landscape X Y WIDTH HEIGHT: sky along the top of that area and green ground at its foot.
expect_landscape() {
    local x=$1 y=$2 width=$3 height=$4
    local band=$((height / 10))
    if ! wait_until 30 shows_sky "${width}x${band}+${x}+${y}"; then
        echo "    no sky at the top of ${width}x${height}+${x}+${y}: $(mean_colour "${width}x${band}+${x}+${y}")"
        return 1
    fi
    local ground="${width}x$((band * 2))+${x}+$((y + height - band * 2))"
    if ! shows_green_ground "$ground"; then
        echo "    no green ground at the foot: $(mean_colour "$ground")"
        return 1
    fi
}

start_window_watch() {
    background "$helper" watch-windows
    watch_output=$last_output
    wait_until 20 grep -qs ready "$watch_output"
}

windows_made() {
    grep -c created "$watch_output"
}

# ---------------------------------------------------------------------------------------------
# Cases

offer_640x480() {
    background "$helper" offer-mode 640 480
    wait_until 20 grep -qs ready "$last_output"
}

case_full_screen() {
    offer_640x480 || return 1
    expect_screen "screen 1024x768 crtc 1024x768" || return 1
    launch "$data_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    expect_window_facts "$(find_window Quellmoor)" \
        "override=1 geometry=640x480+0+0 viewable=1 closable=1" || return 1
    expect_screen "screen 640x480 crtc 640x480" || return 1
    expect_landscape 0 0 640 480 || return 1
    xdotool key a
    expect_exit 30 0 || return 1
    expect_screen "screen 1024x768 crtc 1024x768"
}

case_mode_restored_after_kill() {
    offer_640x480 || return 1
    launch "$data_directory" /s
    wait_until 30 screen_is "screen 640x480 crtc 640x480" || { echo "    no mode change"; return 1; }
    kill -KILL "$program_pid"
    wait "$program_pid" 2>/dev/null
    program_pid=
    wait_until 30 screen_is "screen 1024x768 crtc 1024x768" || {
        echo "    mode not restored: $("$helper" screen)"
        return 1
    }
}

case_mode_restored_after_interrupt() {
    offer_640x480 || return 1
    launch "$data_directory" /s
    wait_until 30 screen_is "screen 640x480 crtc 640x480" || { echo "    no mode change"; return 1; }
    kill -INT "$program_pid"
    wait_until 30 screen_is "screen 1024x768 crtc 1024x768" || {
        echo "    mode not restored: $("$helper" screen)"
        return 1
    }
}

# The server cuts the program's connection (as xkill does): the program ends with Xlib's error exit
# and the mode still comes back.
case_mode_restored_after_lost_connection() {
    offer_640x480 || return 1
    launch "$data_directory" /s
    wait_until 30 screen_is "screen 640x480 crtc 640x480" || { echo "    no mode change"; return 1; }
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    xkill -id "$(find_window Quellmoor)" >/dev/null
    expect_exit 30 1 || return 1
    wait_until 30 screen_is "screen 1024x768 crtc 1024x768" || {
        echo "    mode not restored: $("$helper" screen)"
        return 1
    }
}

# Xvfb offers no 640x480 mode on a larger screen, as a monitor without that mode would.
case_window_fallback() {
    launch "$data_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    expect_window_facts "$(find_window Quellmoor)" \
        "override=0 geometry=640x480+0+0 viewable=1 closable=1" || return 1
    expect_screen "screen 1024x768 crtc 1024x768" || return 1
    expect_landscape 0 0 640 480 || return 1
    "$helper" close-window "$(find_window Quellmoor)"
    expect_exit 30 0
}

# The mode exists but the screen has 16 bits per pixel, not 32.
case_window_fallback_16_bits() {
    launch "$data_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    expect_window_facts "$(find_window Quellmoor)" \
        "override=0 geometry=640x480+0+0 viewable=1 closable=1" || return 1
    wait_until 30 shows_sky "640x48+0+0" || { echo "    no sky: $(mean_colour 640x48+0+0)"; return 1; }
    xdotool key a
    expect_exit 30 0
}

# quit_case ACTION...: a running screensaver ends with exit code 0 after the action.
quit_case() {
    launch "$data_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    wait_until 30 shows_sky "640x48+0+0" || { echo "    nothing drawn"; return 1; }
    "$@"
    expect_exit 30 0
}

case_quit_key() { quit_case xdotool key a; }
case_quit_button() { quit_case xdotool click 1; }
case_quit_wheel() { quit_case xdotool click 5; }
case_quit_relative_motion() { quit_case xdotool mousemove_relative 7 5; }
case_quit_close_request() { quit_case close_quellmoor; }
close_quellmoor() { "$helper" close-window "$(find_window Quellmoor)"; }

# Warping the pointer moves it without a device: only the window sees the motion, so the fifth
# move is what ends the run.
case_quit_fifth_pointer_move() {
    launch "$data_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    wait_until 30 shows_sky "640x48+0+0" || { echo "    nothing drawn"; return 1; }
    local i
    for i in 1 2 3 4; do
        "$helper" warp $((100 + i * 20)) $((100 + i * 10))
    done
    settle
    expect_running "after four pointer moves" || return 1
    "$helper" warp 300 300
    expect_exit 30 0
}

# about_case ARGUMENT...: the about box comes up as the only window, with no screensaver window.
about_case() {
    start_window_watch || return 1
    launch "$data_directory" "$@"
    wait_until 30 has_window Lumivane || { echo "    no about box"; return 1; }
    if has_window Quellmoor; then
        echo "    a screensaver window came up"
        return 1
    fi
    if [ "$(windows_made)" -ne 1 ]; then
        echo "    $(windows_made) windows made, expected the about box alone"
        return 1
    fi
    # The box takes the keyboard itself once it is up, as there is no window manager to give it.
    wait_until 20 focus_is "$(find_window Lumivane)" || { echo "    the box has no focus"; return 1; }
}

focus_is() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

case_about_return() {
    about_case /c || return 1
    xdotool key Return
    expect_exit 30 0
}

case_about_ok_button() {
    about_case -c:1234 || return 1
    local window width height
    window=$(find_window Lumivane)
    width=$(xwininfo -id "$window" | awk '/Width:/ { print $2 }')
    height=$(xwininfo -id "$window" | awk '/Height:/ { print $2 }')
    # The button sits centred at the foot of the box, 16 pixels above its edge and 26 high.
    xdotool mousemove --window "$window" $((width / 2)) $((height - 16 - 13)) click 1
    expect_exit 30 0
}

case_about_close_request() {
    about_case '\c' || return 1
    "$helper" close-window "$(find_window Lumivane)"
    expect_exit 30 0
}

case_about_empty_command_line() {
    about_case || return 1
    xdotool key Escape
    expect_exit 30 0
}

case_about_without_display() {
    (unset DISPLAY && cd "$data_directory" && exec "$quellmoor" /C) >"$work/$case_name.out" 2>&1 &
    program_pid=$!
    expect_exit 30 0 || return 1
    local expected
    expected=$(printf '%s\n%s\n%s' "Lumivane" "This screensaver was written by Tamsel Varrow." \
        "You can contact me at (")
    if [ "$(head -c ${#expected} "$work/$case_name.out")" != "$expected" ]; then
        echo "    printed: $(cat "$work/$case_name.out")"
        return 1
    fi
}

# switch_case ARGUMENT...: the program ends at once with code 0 and makes no window at all.
switch_case() {
    start_window_watch || return 1
    launch "$data_directory" "$@"
    expect_exit 30 0 || return 1
    settle
    if [ "$(windows_made)" -ne 0 ]; then
        echo "    $(windows_made) windows made"
        return 1
    fi
}

case_switch_preview() { switch_case /p 1234; }
case_switch_password() { switch_case /a; }
case_switch_l() { switch_case -l; }
case_switch_capital_p() { switch_case /P; }
case_switch_run_and_preview() { switch_case /s -preview; }

fallback_installed() {
    [ -n "$fallback_directory" ] && [ -f "$fallback_directory/quellmoorMap.tga" ] &&
        [ -f "$fallback_directory/quellmoorTex.tga" ]
}

case_checkerboard_without_files() {
    if fallback_installed; then
        echo "    skipped: the data files are installed in $fallback_directory"
        return $SKIPPED
    fi
    launch "$empty_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    wait_until 30 shows_sky "640x48+0+0" || { echo "    no sky: $(mean_colour 640x48+0+0)"; return 1; }
    if ! shows_checkerboard_ground "640x96+0+384"; then
        echo "    no checkerboard at the foot: $(mean_colour 640x96+0+384)"
        return 1
    fi
    xdotool key a
    expect_exit 30 0
}

# From a working directory without the files, the installed ones are read.
case_installed_files() {
    if ! fallback_installed; then
        echo "    skipped: no data files installed in ${fallback_directory:-(not given)}"
        return $SKIPPED
    fi
    launch "$empty_directory" /s
    wait_until 30 has_window Quellmoor || { echo "    no window"; return 1; }
    expect_landscape 0 0 640 480 || return 1
    xdotool key a
    expect_exit 30 0
}

make_foreign_window() {
    background "$helper" make-window 400 300
    foreign_output=$last_output
    wait_until 20 grep -qs 0x "$foreign_output" || { echo "    no foreign window"; return 1; }
    foreign_window=$(head -n 1 "$foreign_output")
    foreign_pid=${background_pids[-1]}
}

# In another program's window there is no mode change, no window of its own, and input is the
# owner's business; the run ends when the window goes away.
case_foreign_window_id() {
    make_foreign_window || return 1
    start_window_watch || return 1
    launch "$data_directory" -window-id "$foreign_window"
    expect_landscape 0 0 400 300 || return 1
    if [ "$(windows_made)" -ne 0 ]; then
        echo "    the program made $(windows_made) windows of its own"
        return 1
    fi
    expect_screen "screen 1024x768 crtc 1024x768" || return 1
    xdotool key a
    xdotool mousemove_relative 9 9
    xdotool click 1
    settle
    expect_running "after input to someone else's window" || return 1
    # The picture follows the window's size.
    xdotool windowsize "$foreign_window" 600 400
    wait_until 30 shows_sky "180x40+410+0" || {
        echo "    the picture did not grow with the window: $(mean_colour 180x40+410+0)"
        return 1
    }
    kill "$foreign_pid"
    expect_exit 30 0
}

case_foreign_window_environment() {
    make_foreign_window || return 1
    (cd "$data_directory" && XSCREENSAVER_WINDOW=$foreign_window exec "$quellmoor" -root) \
        >"$work/$case_name.out" 2>&1 &
    program_pid=$!
    expect_landscape 0 0 400 300 || return 1
    expect_screen "screen 1024x768 crtc 1024x768" || return 1
    # XScreenSaver ends its hacks with SIGTERM.
    kill -TERM "$program_pid"
    expect_exit 30 143
}

case_foreign_window_decimal_id() {
    make_foreign_window || return 1
    launch "$data_directory" -window-id "$((foreign_window))"
    expect_landscape 0 0 400 300 || return 1
    kill "$foreign_pid"
    expect_exit 30 0
}

# A window id that names no window ends the run at once instead of falling back to full screen.
case_foreign_window_missing() {
    start_window_watch || return 1
    launch "$data_directory" -window-id 0x7ffffe
    expect_exit 30 0 || return 1
    if [ "$(windows_made)" -ne 0 ]; then
        echo "    $(windows_made) windows made"
        return 1
    fi
}

case_no_display() {
    (cd "$data_directory" && DISPLAY=:none exec "$quellmoor" /s) >"$work/$case_name.out" 2>&1 &
    program_pid=$!
    expect_exit 30 0
}

# ---------------------------------------------------------------------------------------------

# run_case NAME SCREEN: runs case_NAME on a fresh Xvfb with that screen, unless
# QUELLMOOR_E2E_CASES names the cases to run and this is not one of them.
run_case() {
    case_name=$1
    if [ -n "${QUELLMOOR_E2E_CASES:-}" ] && [[ " $QUELLMOOR_E2E_CASES " != *" $1 "* ]]; then
        return
    fi
    echo "-- $1"
    local result=1
    if start_display "$2"; then
        "case_$1"
        result=$?
    fi
    if [ "$result" -eq 0 ]; then
        passed=$((passed + 1))
    elif [ "$result" -eq "$SKIPPED" ]; then
        skipped_names+=("$1")
    else
        failed=$((failed + 1))
        failed_names+=("$1")
        [ -s "$work/$1.out" ] && sed 's/^/    program: /' "$work/$1.out" | head -n 20
    fi
    stop_everything
}

large=1024x768x24
run_case full_screen $large
run_case mode_restored_after_kill $large
run_case mode_restored_after_interrupt $large
run_case mode_restored_after_lost_connection $large
run_case window_fallback $large
run_case window_fallback_16_bits 640x480x16
run_case quit_key $large
run_case quit_button $large
run_case quit_wheel $large
run_case quit_relative_motion $large
run_case quit_fifth_pointer_move $large
run_case quit_close_request $large
run_case about_return $large
run_case about_ok_button $large
run_case about_close_request $large
run_case about_empty_command_line $large
run_case about_without_display $large
run_case switch_preview $large
run_case switch_password $large
run_case switch_l $large
run_case switch_capital_p $large
run_case switch_run_and_preview $large
run_case checkerboard_without_files $large
run_case installed_files $large
run_case foreign_window_id $large
run_case foreign_window_environment $large
run_case foreign_window_decimal_id $large
run_case foreign_window_missing $large
run_case no_display $large

if [ ${#skipped_names[@]} -gt 0 ]; then
    echo "skipped: ${skipped_names[*]}"
fi
if [ "$failed" -gt 0 ]; then
    echo "failed: ${failed_names[*]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
