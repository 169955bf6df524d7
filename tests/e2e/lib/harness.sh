# shellcheck shell=bash
# The one end-to-end harness: every host's suite (tests/e2e/*.sh) sources it and holds only its
# cases. Written in bash because a case is a short run of command-line programs (Xvfb, Wine,
# xdotool, ImageMagick, the program under test) with waits on processes and windows between them:
# in the shell each step is one line with no wrapper around the tools, and shellcheck checks it.
#
# A suite:
#   source "$(dirname "$0")/lib/harness.sh"
#   e2e_begin OUT              logs go to OUT (QUELLMOOR_E2E_OUT overrides it); builds the helpers
#   run_case NAME SIZE FUNCTION [ARG...]   one case, FUNCTION ARG... on its own display
#   e2e_end                    prints "N passed, N failed, N skipped", returns 1 on a failure
#                              and 77 when every case was skipped (ctest's SKIP_RETURN_CODE)
#
# Cases: each gets a fresh Xvfb of SIZE (WxH or WxHxDEPTH, depth 24 by default; DISPLAY is
# exported), a log folder CASE_DIR (OUT/NAME: program.log, steps.log, screenshots), an empty
# working directory CASE_CWD, and is stopped completely afterwards (program, helpers, Wine
# session, display). QUELLMOOR_E2E_ONLY, a regular expression, picks cases by name.
# XVFB_OPTIONS set for one run_case adds options to its Xvfb (e.g. "-extension GLX").
# A SIZE of several monitors, WxH,WxH[,...], gets instead an Xorg with the dummy video driver
# (real RandR outputs DUMMY0.., each listing the usual VESA sizes, and GLX): the first size is the
# primary at 0,0, each further one sits to the right of the one before (the case is skipped
# where Xorg or the driver is missing; xorg.conf and xorg.log in CASE_DIR).
# A SIZE of wayland:WxH[@SCALE],... gets instead sway headless, one output per size side by side
# (the first at 0,0, HEADLESS-1..), run with its programs as the user quellmoor-wayland (made when
# missing: sway refuses root) in a private XDG_RUNTIME_DIR; xwayland:... adds XWayland and exports
# its DISPLAY. WAYLAND_DISPLAY (a path) and SWAYSOCK are exported for the harness's own tools;
# launch runs the program as that user (HOST_RUN is that prefix, for other programs of the user's
# session), CASE_CWD and HOME being its own; a virtual pointer and keyboard (wlinput.cpp) are the
# seat's devices for the whole case, the pointer resting on the first output's middle. The case
# is skipped where sway or XWayland is missing (sway.config and sway.log in CASE_DIR). SWAY_CONFIG
# set for one run_case adds lines to sway's configuration.
#   fail REASON       records why the case fails (the first reason counts) and returns 1, so a
#                     step reads `check || fail "why" || return`
#   skip_case REASON  the case cannot run here: counted as skipped, never as passed
#   skip_suite REASON the host is missing: every later case is counted as skipped
#   E2E_PATIENCE      multiplies every time limit (slow hosts such as emulated 32-bit Wine)
#
# Programs (one per case; its output goes to CASE_DIR/program.log):
#   launch [-C DIR] [ENV...] COMMAND [ARG...]   a native program, or "$WINE" PROGRAM.exe, in DIR
#                     (by default CASE_CWD); ENV is what env(1) takes: VAR=VALUE, -u VAR
#   program_ended | await_exit SECONDS (sets PROG_STATUS; kills a program still running)
#   expect_exit SECONDS [CODE|-] [AFTER] | expect_running BEFORE | signal_program SIGNAL
#   background NAME COMMAND...  a helper kept for the rest of the case (CASE_DIR/NAME.out)
#   wait_until SECONDS COMMAND... | settle (lets events arrive) | mark TEXT (steps.log)
# Windows and input (xdotool):
#   find_window TITLE | has_window TITLE | await_window TITLE SECONDS (mapped; prints its id)
#   windows_named TITLE [1 for mapped only] | visible_window_names | window_geometry ID (WxH+X+Y)
#   window_facts ID | expect_window_facts ID FACTS | close_window ID (as a window manager does)
#   watch_windows, then windows_made (how many windows were created since)
#   press_key KEY [WINDOW] | click BUTTON [X Y] (4 and 5 turn the wheel) | move_pointer X Y |
#   nudge_pointer DX DY | warp_pointer X Y (no device: raw input sees nothing) | xdo ARG...
#   On a Wayland host the keys, clicks and moves go through the compositor (wlinput):
#   press_key KEY (an xkb keysym name; WINDOW is ignored), click BUTTON [X Y], move_pointer X Y
#   (in the layout), nudge_pointer DX DY; wheel STEPS (down when positive) on either host.
# Display modes (XRandR): offer_mode W H | screen_mode | screen_is MODE | expect_screen MODE,
#   MODE as "screen 1024x768 crtc 1024x768" (root window size, first CRTC's mode)
#   | monitors (one WxH+X+Y a line, the primary first) | monitor N (the Nth, from 0)
#   | monitors_are "WxH+X+Y WxH+X+Y..." (all of them, in that order)
#   | plug_monitor NAME WxH RIGHT_OF (the output NAME, e.g. DUMMY2, lit at WxH right of the
#   output RIGHT_OF, as a monitor plugged in during a case) | unplug_monitor NAME (turned off)
# Wayland: outputs (NAME WxH+X+Y SCALE a line, WxH in pixels) | toplevels (one line a
#   window sway manages: SHELL APP_ID "TITLE" WxH+X+Y OUTPUT fullscreen=0|1) | swaymsg ARG...
#   | kill_compositor (SIGKILL; XWayland ends with it)
# Desktop: paint_root COLOUR (xsetroot) | desktop_window GEOMETRY COLOUR (an ordinary window,
#   an xmessage of that colour, placed there without a window manager)
# Pictures: screenshot NAME [OUTPUT] (CASE_DIR/NAME.ppm, of the root window by xhelper, or by grim
#   on a Wayland host, OUTPUT alone when named)
#   | picture_statistics IMAGE GEOMETRY (name=value pairs, picstats.cpp)
#   | statistics_hold LINE CONDITION | take_statistics GEOMETRY (a screenshot's, kept in
#   LAST_STATISTICS) | screen_shows GEOMETRY CONDITION
#   | texture_rg FILE | judge_landscape LINE TEXTURE_RG | judge_checkerboard LINE
#   | image_black IMAGE GEOMETRY (every pixel black, so nothing of a desktop shows; otherwise
#   prints the share of other pixels and fails)
# Wine:
#   wine_prefix 64|32  sets WINE to the loader of that bitness, PREFIX and WINEPREFIX to a fresh
#                      copy of a 64-bit prefix made once per run (or kept in
#                      QUELLMOOR_E2E_WINE_CACHE between runs), SYSTEM32 to the system folder that
#                      a program of that bitness sees (syswow64 for 32 bits), and WINPROBE to the
#                      64-bit Windows helper (run with WINE64); each case ends its Wine session.
#                      32-bit programs run in the prefix's 32-bit half, as on 64-bit Windows: a
#                      pure 32-bit prefix never finished its set-up under qemu here.
#                      QUELLMOOR_E2E_WINE64_ONLY=1: a prefix without its 32-bit half will do.
#   inspect ARG...     runs WINPROBE in the case's Wine session | stop_wine

set -uo pipefail
# The harness polls (a window, a program's end, a file) every tenth of a second, and a process
# costs milliseconds of CPU time on a virtual machine: its clock, its pause and its look at a
# process stay inside the shell. The pause is bash's loadable sleep (bash-builtins), where it is.
enable -f /usr/lib/bash/sleep sleep 2>/dev/null

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# /usr/local/bin may hold a stand-in that knows only a few of ImageMagick's options.
IM_CONVERT=/usr/bin/convert
WINESERVER=/usr/lib/wine/wineserver
WINE64=/usr/lib/wine/wine64
E2E_PATIENCE=1
passed=0 failed=0 skipped=0
SUITE_SKIP='' CASE_FAIL='' CASE_SKIP='' CASE_STARTED=0
DISP='' SERVER_PID='' PROG_PID='' PROG_STATUS='' WINE='' PREFIX='' LAST_STATISTICS=''
BACKGROUND_PIDS=()
WAYLAND_USER=quellmoor-wayland
WL_RUNTIME='' WL_INPUT_FD='' WL_LAYOUT='' HOST_RUN=()

# The wall clock in milliseconds, in NOW_MS.
read_clock() {
    local now=${EPOCHREALTIME//[!0-9]/}
    NOW_MS=$((10#$now / 1000))
}

mark() {
    if [ "$CASE_STARTED" -gt 0 ]; then
        read_clock
        echo "$((NOW_MS - CASE_STARTED)) ms: $*" >>"$CASE_DIR/steps.log"
    fi
}

fail() {
    if [ -z "$CASE_FAIL" ]; then
        CASE_FAIL=$1
        mark "FAIL $1"
    fi
    return 1
}

skip_case() { CASE_SKIP=$1; }
skip_suite() { SUITE_SKIP=$1; }

# Runs COMMAND every 0.1 s until it succeeds (true) or SECONDS have passed (false).
wait_until() {
    read_clock
    local deadline=$((NOW_MS + $1 * E2E_PATIENCE * 1000))
    shift
    until "$@"; do
        read_clock
        [ "$NOW_MS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

settle() { sleep 1.5; }

# A process that has ended but is not yet reaped counts as gone (state Z after its name).
process_gone() {
    local stat
    read -r stat 2>/dev/null <"/proc/$1/stat" || return 0
    stat=${stat##*) }
    [ "${stat%% *}" = Z ]
}

# Stops PID (politely, then for good) and reaps it.
stop_pid() {
    kill "$1" 2>/dev/null
    wait_until 10 process_gone "$1" || kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

# ---------------------------------------------------------------------------------------------
# The run and its cases

e2e_begin() {
    OUT=${QUELLMOOR_E2E_OUT:-$1}
    # Only a folder the harness made (or an empty one) is cleared for the new results.
    if [ -n "$(ls -A "$OUT" 2>/dev/null)" ] && [ ! -e "$OUT/.quellmoor-e2e" ]; then
        echo "e2e: $OUT holds other files; choose another QUELLMOOR_E2E_OUT" >&2
        exit 2
    fi
    rm -rf "$OUT"
    mkdir -p "$OUT"
    touch "$OUT/.quellmoor-e2e"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/quellmoor-e2e.XXXXXX")
    TOOLS=$WORK/tools
    read_clock
    E2E_STARTED=$NOW_MS
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    local tool
    for tool in Xvfb xdotool xdpyinfo xwininfo g++ "$IM_CONVERT"; do
        command -v "$tool" >/dev/null || { skip_suite "$tool is missing"; return 0; }
    done
    mkdir -p "$TOOLS"
    if ! { g++ -std=c++17 -O1 -Wall -Wextra -o "$TOOLS/picstats" "$E2E_DIR/picstats.cpp" &&
        g++ -std=c++17 -O1 -Wall -Wextra -o "$TOOLS/xhelper" "$E2E_DIR/xhelper.cpp" -lX11 -lXrandr
    } >"$OUT/tools.log" 2>&1; then
        e2e_abort "the helper tools could not be built (see $OUT/tools.log)"
    fi
}

# Ends the run at once with one failure for a setup step that failed.
e2e_abort() {
    echo "FAIL setup: $1"
    echo "$passed passed, $((failed + 1)) failed, $skipped skipped"
    exit 1
}

e2e_end() {
    read_clock
    echo "e2e: total $(((NOW_MS - E2E_STARTED) / 1000)) s"
    echo "$passed passed, $failed failed, $skipped skipped"
    [ "$failed" -eq 0 ] || return 1
    [ "$passed" -gt 0 ] || [ "$skipped" -eq 0 ] || return 77
}

e2e_cleanup() {
    end_case_processes
    rm -rf "$WORK"
}

end_case_processes() {
    local pid
    if [ -n "$PROG_PID" ]; then
        program_ended || kill -KILL "$PROG_PID" 2>/dev/null
        wait "$PROG_PID" 2>/dev/null
    fi
    PROG_PID=''
    [ -n "$WL_INPUT_FD" ] && exec {WL_INPUT_FD}>&-
    WL_INPUT_FD=''
    # What a helper started (swayidle's command, say) ends with it.
    for pid in "${BACKGROUND_PIDS[@]}"; do
        stop_tree "$pid"
    done
    BACKGROUND_PIDS=()
    [ -n "$PREFIX" ] && stop_wine
    [ -n "$SERVER_PID" ] && stop_tree "$SERVER_PID"
    if [ -n "$WL_RUNTIME" ] && [ -n "$DISP" ]; then
        # sway starts XWayland outside its own process tree; it ends when sway has gone.
        wait_until 10 no_xwayland || stop_pid "$(xwayland_pid)"
    fi
    SERVER_PID='' DISP=''
    if [ -n "$WL_RUNTIME" ]; then
        rm -rf "$WL_RUNTIME"
        unset WAYLAND_DISPLAY SWAYSOCK
    fi
    WL_RUNTIME='' WL_LAYOUT='' HOST_RUN=()
}

# Sets TREE to PID and every process below it, parents before their children, from one reading
# of /proc (ps took a process for each process of the tree, at every case's end).
read_tree() {
    local -A children=()
    local stat line pid ppid i=0
    for stat in /proc/[0-9]*/stat; do
        read -r line 2>/dev/null <"$stat" || continue
        # The name in parentheses may hold anything: the state and the parent follow its last ')'.
        ppid=${line##*) }
        ppid=${ppid#* }
        pid=${stat#/proc/}
        children[${ppid%% *}]+=" ${pid%/stat}"
    done
    TREE=("$1")
    while [ "$i" -lt ${#TREE[@]} ]; do
        # shellcheck disable=SC2206 # the children's pids, split on purpose
        TREE+=(${children[${TREE[i]}]:-})
        i=$((i + 1))
    done
}

# PID and every process below it, parents first, one a line.
process_tree() {
    local TREE
    read_tree "$1"
    printf '%s\n' "${TREE[@]}"
}

# Stops PID and what it started, children first; each is stopped on its own, so that an orphan is
# not missed.
stop_tree() {
    local TREE i
    read_tree "$1"
    for ((i = ${#TREE[@]} - 1; i >= 0; i--)); do
        stop_pid "${TREE[i]}"
    done
}

run_case() {
    local name=$1 size=$2 function=$3 result
    shift 3
    [[ $name =~ ${QUELLMOOR_E2E_ONLY:-.} ]] || return 0
    CASE_FAIL='' CASE_SKIP=$SUITE_SKIP
    CASE_DIR=$OUT/$name
    CASE_CWD=$WORK/cwd/$name
    mkdir -p "$CASE_DIR" "$CASE_CWD"
    read_clock
    CASE_STARTED=$NOW_MS
    if [ -n "$CASE_SKIP" ]; then
        :
    elif start_display "$size"; then
        [ -n "$CASE_SKIP" ] || "$function" "$@" || fail "failed without a reason"
    else
        fail "no display could be started"
    fi
    end_case_processes
    read_clock
    result=$(((NOW_MS - CASE_STARTED + 50) / 100))
    echo "$name $((result / 10)).$((result % 10))s" >>"$OUT/timings.txt"
    CASE_STARTED=0
    if [ -n "$CASE_FAIL" ]; then
        failed=$((failed + 1))
        echo "FAIL $name: $CASE_FAIL (logs and screenshots in $CASE_DIR)"
        [ -s "$CASE_DIR/program.log" ] &&
            tail -n 10 "$CASE_DIR/program.log" | sed 's/^/    program: /'
    elif [ -n "$CASE_SKIP" ]; then
        skipped=$((skipped + 1))
        echo "SKIP $name: $CASE_SKIP"
    else
        passed=$((passed + 1))
        echo "PASS $name"
    fi
}

# ---------------------------------------------------------------------------------------------
# Displays

# Starts Xvfb on the first free display number; without -noreset the server would reset whenever
# its last client leaves, which puts the pointer back in the middle of the screen.
start_display() {
    local size=$1
    # A program of an X case never finds a compositor of the suite's own session.
    unset WAYLAND_DISPLAY
    if [[ $size == wayland:* || $size == xwayland:* ]]; then
        start_sway "$size"
        return
    fi
    if [[ $size == *,* ]]; then
        start_monitors "$size"
        return
    fi
    [[ $size == *x*x* ]] || size+=x24
    local options=()
    read -ra options <<<"${XVFB_OPTIONS:-}"
    serve Xvfb -screen 0 "$size" "${options[@]}"
}

# Runs the X server COMMAND... on the first free display number and waits until it answers.
serve() {
    local number_file=$CASE_DIR/display
    : >"$number_file"
    "$@" -displayfd 3 -nolisten tcp -noreset 3>"$number_file" >>"$CASE_DIR/xvfb.log" 2>&1 &
    SERVER_PID=$!
    wait_until 30 test -s "$number_file" || return 1
    DISP=:$(head -n 1 "$number_file")
    export DISPLAY=$DISP
    wait_until 30 xdpyinfo >/dev/null 2>&1
}

# Xorg with the dummy driver and SIZES (WxH,WxH,...) as its monitors, side by side. The server
# neither looks for input devices nor switches virtual terminals (xdotool's input goes through
# XTEST), and its screen may grow to 8192x4096. An output given a mode counts as connected only
# after the next probe, hence the last xrandr.
start_monitors() {
    local sizes output=0 config=$CASE_DIR/xorg.conf
    IFS=, read -ra sizes <<<"$1"
    if [ ! -x /usr/lib/xorg/Xorg ] || [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
        skip_case "Xorg with the dummy video driver is missing"
        return 0
    fi
    cat >"$config" <<EOF
Section "ServerFlags"
    Option "AutoAddDevices" "false"
EndSection
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 131072
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Monitor "monitor"
    SubSection "Display"
        Modes "${sizes[0]}"
        Virtual 8192 4096
    EndSubSection
EndSection
EOF
    serve Xorg -config "$config" -logfile "$CASE_DIR/xorg.log" -novtswitch -sharevts || return 1
    while [ $((++output)) -lt ${#sizes[@]} ]; do
        xrandr --addmode "DUMMY$output" "${sizes[output]}" &&
            xrandr --output "DUMMY$output" --mode "${sizes[output]}" \
                --right-of "DUMMY$((output - 1))" || return 1
    done
    xrandr >/dev/null
    [ "$(monitors | cut -d+ -f1 | paste -sd,)" = "$1" ]
}

# xrandr lists the monitors as "0: +*DUMMY0 1024/271x768/203+0+0  DUMMY0". On a Wayland host
# the outputs, in pixels.
monitors() {
    if wayland_host; then
        outputs | cut -d' ' -f2
        return
    fi
    local index geometry listed=()
    while read -r index _ geometry _; do
        [[ $index =~ ^[0-9]+:$ ]] || continue
        while [[ $geometry =~ ^(.*)/[0-9]+(.*)$ ]]; do
            geometry=${BASH_REMATCH[1]}${BASH_REMATCH[2]}
        done
        listed[${index%:}]=$geometry
    done < <(xrandr --listmonitors)
    [ ${#listed[@]} -eq 0 ] || printf '%s\n' "${listed[@]}"
}

monitor() { monitors | sed -n "$(($1 + 1))p"; }
monitors_are() { [ "$(monitors | paste -sd' ')" = "$1" ]; }

# An output lists a mode once it is added (adding it again fails harmlessly); the probe at the end
# makes every client see the output's connection as it now is.
plug_monitor() {
    mark "$1 plugged in: $2 right of $3"
    xrandr --addmode "$1" "$2" 2>/dev/null
    { xrandr --output "$1" --mode "$2" --right-of "$3" && xrandr >/dev/null; } || fail "$1 not on"
}

unplug_monitor() {
    mark "$1 unplugged"
    { xrandr --output "$1" --off && xrandr >/dev/null; } || fail "$1 still on"
}

# ---------------------------------------------------------------------------------------------
# The Wayland host

# Another suite may make the user at the same moment: what counts is that it is there.
ensure_wayland_user() {
    id -u "$WAYLAND_USER" >/dev/null 2>&1 ||
        useradd --system --create-home --home-dir "/var/lib/$WAYLAND_USER" \
            --shell /usr/sbin/nologin "$WAYLAND_USER" >>"$CASE_DIR/steps.log" 2>&1 ||
        id -u "$WAYLAND_USER" >/dev/null 2>&1
}

# sway headless on SPEC (wayland:SIZES or xwayland:SIZES). The configuration's last command
# writes what the session's programs see (and lets root's tools onto XWayland, which admits only
# its own user) to a file: its appearance says the outputs are set up and XWayland answers.
start_sway() {
    local kind=${1%%:*} sizes size scale x=0 output=0 config=$CASE_DIR/sway.config tool
    local name session=()
    IFS=, read -ra sizes <<<"${1#*:}"
    for tool in sway swaymsg grim jq setpriv; do
        command -v "$tool" >/dev/null || { skip_case "$tool is missing" && return 0; }
    done
    if [ "$kind" = xwayland ] && ! command -v Xwayland >/dev/null; then
        skip_case "Xwayland is missing"
        return 0
    fi
    [ "$(id -u)" -eq 0 ] || { skip_case "the Wayland host needs root (its own user)" && return 0; }
    ensure_wayland_user || fail "no user $WAYLAND_USER could be made" || return
    WL_RUNTIME=$(mktemp -d /tmp/quellmoor-wayland.XXXXXX)
    chown "$WAYLAND_USER:" "$WL_RUNTIME" "$CASE_CWD" "$CASE_DIR"
    chmod 0700 "$WL_RUNTIME"
    # The program's working directory lies in the run's own folder.
    chmod o+x "$WORK" "$WORK/cwd"
    {
        echo 'xwayland' "$([ "$kind" = xwayland ] && echo enable || echo disable)"
        for size in "${sizes[@]}"; do
            scale=1
            [[ $size == *@* ]] && scale=${size#*@} size=${size%@*}
            echo "output HEADLESS-$((++output)) resolution $size position $x 0 scale $scale"
            x=$((x + ${size%x*} / scale))
        done
        echo 'seat seat0 fallback true'
        echo "${SWAY_CONFIG:-}"
        echo "exec sh $WL_RUNTIME/announce"
    } >"$config"
    # shellcheck disable=SC2016 # expanded by sway's shell
    printf '%s\n' '{ [ -z "$DISPLAY" ] || xhost +si:localuser:root >/dev/null; } &&' \
        'echo "$WAYLAND_DISPLAY $SWAYSOCK $DISPLAY" >"$XDG_RUNTIME_DIR/ready.part" &&' \
        'mv "$XDG_RUNTIME_DIR/ready.part" "$XDG_RUNTIME_DIR/ready"' >"$WL_RUNTIME/announce"
    session=(setpriv "--reuid=$WAYLAND_USER" "--regid=$WAYLAND_USER" --init-groups
        env -i HOME="$CASE_CWD" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$WL_RUNTIME")
    "${session[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=${#sizes[@]} sway -c "$config" >"$CASE_DIR/sway.log" 2>&1 &
    SERVER_PID=$!
    wait_until 30 test -s "$WL_RUNTIME/ready" || fail "sway did not start (see sway.log)" ||
        return
    read -r WAYLAND_DISPLAY SWAYSOCK DISP <"$WL_RUNTIME/ready"
    HOST_RUN=("${session[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
    for name in LIBGL_ALWAYS_SOFTWARE ASAN_OPTIONS UBSAN_OPTIONS LANG; do
        [ -n "${!name:-}" ] && HOST_RUN+=("$name=${!name}")
    done
    export WAYLAND_DISPLAY=$WL_RUNTIME/$WAYLAND_DISPLAY SWAYSOCK
    if [ -n "$DISP" ]; then
        HOST_RUN+=(DISPLAY="$DISP")
        export DISPLAY=$DISP
    fi
    [ "$(monitors | cut -d+ -f1 | paste -sd,)" = "$(layout_pixels "${sizes[@]}")" ] ||
        fail "sway's outputs are $(monitors | paste -sd' '), not ${1#*:}" || return
    # The layout's size, in which the pointer's absolute moves are given.
    WL_LAYOUT=$(outputs | awk '{ split($2, g, /[x+]/)
            w = g[3] + g[1] / $3 > w ? g[3] + g[1] / $3 : w
            h = g[4] + g[2] / $3 > h ? g[4] + g[2] / $3 : h }
        END { print w, h }')
    start_wayland_input
}

# The outputs' sizes in pixels, as monitors prints them: WxH@S is WxH.
layout_pixels() { printf '%s\n' "$@" | sed 's/@.*//' | paste -sd,; }

# The virtual devices, fed through a pipe that the harness keeps open for the case.
start_wayland_input() {
    local pipe=$WL_RUNTIME/input
    [ -x "$TOOLS/wlinput" ] || g++ -std=c++17 -O1 -Wall -Wextra -o "$TOOLS/wlinput" \
        "$E2E_DIR/wlinput.cpp" -lwayland-client -lxkbcommon >>"$OUT/tools.log" 2>&1 ||
        fail "the Wayland input client could not be built (see $OUT/tools.log)" || return
    mkfifo "$pipe"
    "$TOOLS/wlinput" <"$pipe" >"$CASE_DIR/wlinput.out" 2>&1 &
    BACKGROUND_PIDS+=($!)
    exec {WL_INPUT_FD}>"$pipe"
    wait_until 10 grep -qs ready "$CASE_DIR/wlinput.out" ||
        fail "no virtual pointer and keyboard (see wlinput.out)" || return
    local width height x y scale
    read -r _ width height x y scale <<<"$(outputs | head -n 1 | tr 'x+' '  ')"
    wl_input place $((x + width / scale / 2)) $((y + height / scale / 2)) "$WL_LAYOUT"
}

wayland_host() { [ -n "$WL_RUNTIME" ]; }

xwayland_pid() { pgrep -u "$WAYLAND_USER" -f "^Xwayland $DISP " | head -n 1; }
no_xwayland() { [ -z "$(xwayland_pid)" ]; }

input_answers() { wc -l <"$CASE_DIR/wlinput.out"; }
input_answered() { [ "$(input_answers)" -gt "$1" ]; }

# Sends one command to the virtual devices and waits until the compositor has had it.
wl_input() {
    local answers
    answers=$(input_answers)
    echo "$*" >&"$WL_INPUT_FD"
    wait_until 20 input_answered "$answers" ||
        fail "the virtual devices did not take '$*'" || return
    ! tail -n 1 "$CASE_DIR/wlinput.out" | grep -q '^error' ||
        fail "the virtual devices could not do '$*'" || return
    mark "input: $*"
}

swaymsg() { timeout 10 /usr/bin/swaymsg "$@"; }

# One line an output: NAME WxH+X+Y SCALE, the size in pixels and the position in the layout.
outputs() {
    swaymsg -r -t get_outputs | jq -r '.[] | select(.active) |
        "\(.name) \(.current_mode.width)x\(.current_mode.height)+\(.rect.x)+\(.rect.y) \(.scale)"' |
        sort -t+ -k2n -k3n
}

toplevels() {
    swaymsg -r -t get_tree | jq -r 'recurse(.nodes[]?, .floating_nodes[]?) |
        select(.type == "output") as $o | $o | recurse(.nodes[]?, .floating_nodes[]?) |
        select((.type == "con" or .type == "floating_con") and .nodes == [] and .pid != null) |
        "\(.shell) \(.app_id // .window_properties.class) \"\(.name)\"",
        "\(.rect.width)x\(.rect.height)+\(.rect.x)+\(.rect.y) \($o.name)",
        "fullscreen=\(.fullscreen_mode)"' | paste -d' ' - - -
}

kill_compositor() {
    kill -KILL "$SERVER_PID"
    wait "$SERVER_PID" 2>/dev/null
    mark "killed the compositor"
}

paint_root() { xsetroot -solid "$1"; }

desktop_window() {
    background desktop xmessage -geometry "$1" -bg "$2" -fg "$2" 'an ordinary window'
    wait_until 20 has_window xmessage || fail "no window on the desktop"
}

offer_mode() {
    background mode "$TOOLS/xhelper" offer-mode "$1" "$2"
    wait_until 20 grep -qs ready "$CASE_DIR/mode.out" || fail "mode $1x$2 not offered"
}

screen_mode() { "$TOOLS/xhelper" screen; }
screen_is() { [ "$(screen_mode)" = "$1" ]; }
expect_screen() { screen_is "$1" || fail "$(screen_mode), expected $1"; }

# ---------------------------------------------------------------------------------------------
# Programs

launch() {
    local directory=$CASE_CWD
    if [ "$1" = -C ]; then
        directory=$2
        shift 2
    fi
    (cd "$directory" && exec "${HOST_RUN[@]}" env "$@") </dev/null \
        >>"$CASE_DIR/program.log" 2>&1 &
    PROG_PID=$!
    PROG_STATUS=''
    mark "started $*"
}

program_ended() { [ -z "$PROG_PID" ] || process_gone "$PROG_PID"; }

await_exit() {
    if wait_until "$1" program_ended; then
        wait "$PROG_PID"
        PROG_STATUS=$?
        mark "program ended with $PROG_STATUS"
        PROG_PID=''
        return 0
    fi
    kill -KILL "$PROG_PID" 2>/dev/null
    wait "$PROG_PID" 2>/dev/null
    PROG_PID=''
    return 1
}

expect_exit() {
    local seconds=$1 code=${2:--} after=${3:+ after $3}
    await_exit "$seconds" || fail "the program did not end within $seconds s$after (killed)" ||
        return
    [ "$code" = - ] || [ "$PROG_STATUS" -eq "$code" ] ||
        fail "exit code $PROG_STATUS$after, expected $code"
}

# The quit paths mean something only if the program was still running before the input.
expect_running() { ! program_ended || fail "the program ended before $1"; }

signal_program() {
    kill -"$1" "$PROG_PID"
    mark "sent SIG$1"
    # Reaped at once, the killed program goes unreported by the shell.
    if [ "$1" = KILL ]; then
        wait "$PROG_PID" 2>/dev/null
        PROG_STATUS=$? PROG_PID=''
    fi
}

background() {
    local name=$1
    shift
    "$@" >"$CASE_DIR/$name.out" 2>&1 &
    BACKGROUND_PIDS+=($!)
}

# ---------------------------------------------------------------------------------------------
# Windows and input

xdo() { timeout 10 xdotool "$@"; }

# X windows named exactly TITLE, one id a line; MAPPED 1 keeps only mapped ones. The X helper
# reads the tree in one process: the suites poll this, and xdotool took seven processes a poll.
windows_named() {
    if [ "${2:-0}" = 1 ]; then
        "$TOOLS/xhelper" windows "$1" mapped 2>/dev/null
    else
        "$TOOLS/xhelper" windows "$1" 2>/dev/null
    fi
}

find_window() {
    local ids
    ids=$(windows_named "$1")
    echo "${ids%%$'\n'*}"
}
has_window() { [ -n "$(windows_named "$1")" ]; }

# Names of the mapped windows on the display apart from the root.
visible_window_names() { "$TOOLS/xhelper" names 2>/dev/null; }

# Fails early when the program ends first.
await_window() {
    local title=$1 deadline found
    read_clock
    deadline=$((NOW_MS + $2 * E2E_PATIENCE * 1000))
    while read_clock && [ "$NOW_MS" -lt "$deadline" ]; do
        found=$(windows_named "$title" 1)
        if [ -n "$found" ]; then
            found=${found%%$'\n'*}
            mark "window $title shown"
            echo "$found"
            return 0
        fi
        program_ended && return 1
        sleep 0.2
    done
    return 1
}

window_geometry() {
    xdo getwindowgeometry --shell "$1" | awk -F= '{ v[$1] = $2 }
        END { if (!("WIDTH" in v)) exit 1
              printf "%dx%d+%d+%d\n", v["WIDTH"], v["HEIGHT"], v["X"], v["Y"] }'
}

# One line: override=0|1 geometry=WxH+X+Y viewable=0|1 closable=0|1 (asks for WM_DELETE_WINDOW).
window_facts() { "$TOOLS/xhelper" window "$1"; }

expect_window_facts() {
    local facts
    facts=$(window_facts "$1")
    [ "$facts" = "$2" ] || fail "window $facts, wanted $2"
}

close_window() {
    "$TOOLS/xhelper" close-window "$1" || fail "no close request sent to $1" || return
    mark "asked window $1 to close"
}

watch_windows() {
    background windows "$TOOLS/xhelper" watch-windows
    wait_until 20 grep -qs ready "$CASE_DIR/windows.out" || fail "the window watch did not start"
}

windows_made() { grep -c created "$CASE_DIR/windows.out"; }

# Gives WINDOW the keyboard focus first when given (there is no window manager to do it).
press_key() {
    if wayland_host; then
        wl_input key "$1"
        return
    fi
    [ -z "${2:-}" ] || xdo windowfocus --sync "$2" >/dev/null 2>&1
    xdo key "$1"
    mark "pressed $1"
}

click() {
    if wayland_host; then
        [ -z "${2:-}" ] || move_pointer "$2" "$3" || return
        wl_input button "$1"
        return
    fi
    [ -z "${2:-}" ] || xdo mousemove "$2" "$3"
    xdo click "$1"
    mark "clicked button $1"
}

move_pointer() {
    if wayland_host; then
        wl_input place "$1" "$2" "$WL_LAYOUT"
    else
        xdo mousemove "$1" "$2"
    fi
}

nudge_pointer() {
    if wayland_host; then
        wl_input move "$1" "$2"
    else
        xdo mousemove_relative "$1" "$2"
    fi
}

wheel() {
    if wayland_host; then
        wl_input wheel "$1"
    else
        for _ in $(seq "${1#-}"); do
            xdo click $(("$1" < 0 ? 4 : 5)) || return
        done
        mark "turned the wheel by $1"
    fi
}
warp_pointer() { "$TOOLS/xhelper" warp "$1" "$2"; }

# ---------------------------------------------------------------------------------------------
# Pictures

screenshot() {
    mark "screenshot $1 ${2:-}"
    if wayland_host; then
        timeout 20 grim -t ppm ${2:+-o "$2"} "$CASE_DIR/$1.ppm" 2>>"$CASE_DIR/grim.log"
        return
    fi
    timeout 20 "$TOOLS/xhelper" grab "$CASE_DIR/$1.ppm" 2>>"$CASE_DIR/xvfb.log"
}

# The statistics of the part GEOMETRY (WxH+X+Y) of IMAGE as name=value pairs (see picstats.cpp):
# a screenshot read as it is, any other picture through ImageMagick.
picture_statistics() {
    if [[ $1 == *.ppm ]]; then
        "$TOOLS/picstats" "$2" <"$1"
    else
        "$IM_CONVERT" "$1" -alpha off -depth 8 ppm:- | "$TOOLS/picstats" "$2"
    fi
}

# Holds when the awk condition over the statistics' names is true, e.g. 'top_sky >= 0.5'. Each
# name becomes v["name"] here in the shell: judging a picture takes six conditions.
statistics_hold() {
    local rest=$2 condition=''
    while [[ $rest =~ ^([^a-z_]*)([a-z_]+)(.*)$ ]]; do
        condition+="${BASH_REMATCH[1]}v[\"${BASH_REMATCH[2]}\"]"
        rest=${BASH_REMATCH[3]}
    done
    awk -v line="$1" "BEGIN {
        n = split(line, pairs, \" \")
        for (i = 1; i <= n; i++) { split(pairs[i], kv, \"=\"); v[kv[1]] = kv[2] + 0 }
        exit !($condition$rest)
    }"
}

# Takes a screenshot (CASE_DIR/screen.ppm) and keeps the statistics of its part GEOMETRY in
# LAST_STATISTICS and CASE_DIR/statistics.txt.
take_statistics() {
    screenshot screen || return 1
    LAST_STATISTICS=$(picture_statistics "$CASE_DIR/screen.ppm" "$1")
    echo "$1: $LAST_STATISTICS" >>"$CASE_DIR/statistics.txt"
}

screen_shows() { take_statistics "$1" && statistics_hold "$LAST_STATISTICS" "$2"; }

# Prints the failed checks of a statistics line, comma-separated; fails when there are any.
report_problems() {
    [ $# -eq 0 ] && return 0
    local IFS=,
    echo "$*"
    return 1
}

# The mean red over green of the texture FILE, which judge_landscape compares the ground with.
texture_rg() { "$IM_CONVERT" "$1" -format '%[fx:mean.r / mean.g]' info:; }

# The hilly, lit landscape textured with a texture whose mean red over green is TEXTURE_RG.
judge_landscape() {
    local line=$1 problems=()
    statistics_hold "$line" 'top_sky >= 0.5' || problems+=("no clear colour above")
    statistics_hold "$line" 'bottom_sky <= 0.05' || problems+=("no ground below")
    statistics_hold "$line" 'bottom_luminance >= 0.08' || problems+=("ground not lit")
    statistics_hold "$line" 'magentaish <= 0.01' || problems+=("checkerboard colours")
    statistics_hold "$line ref=$2" 'ground_rg >= 0.75 * ref && ground_rg <= 1.25 * ref' ||
        problems+=("ground colour not the texture's (red/green $2)")
    statistics_hold "$line" 'skyline >= 6 || horizon >= 6 || horizon <= -6' ||
        problems+=("flat horizon")
    report_problems "${problems[@]}"
}

# The checkerboard over flat ground.
judge_checkerboard() {
    local line=$1 problems=()
    statistics_hold "$line" 'top_sky >= 0.5' || problems+=("no clear colour above")
    statistics_hold "$line" 'bottom_sky <= 0.05' || problems+=("no ground below")
    statistics_hold "$line" 'skyline <= 3 && horizon >= -3 && horizon <= 4' ||
        problems+=("horizon not flat")
    statistics_hold "$line" 'lit_white >= 0.0002 && lit_magenta >= 0.0002' ||
        problems+=("checker colours missing")
    statistics_hold "$line" 'whitish >= 0.002 && magentaish >= 0.1' ||
        problems+=("not a two-colour checkerboard")
    report_problems "${problems[@]}"
}

# Fails, printing the share of pixels that are not black, when the part GEOMETRY of IMAGE
# shows anything.
image_black() {
    local statistics lit
    statistics=$(picture_statistics "$1" "$2") || return 1
    lit=${statistics##*lit=}
    [ "$lit" = 0 ] || { echo "$lit" && return 1; }
}

# ---------------------------------------------------------------------------------------------
# The installed package under a host that runs its hacks as the unprivileged user SAVER (made
# when missing, and kept; the suites run as root). SAVER_HOME, when set (fresh_saver_home), is the
# case's own home for it instead of its kept one.

SAVER=quellmoor-saver SAVER_HOME=''
# shellcheck disable=SC2034 # for the suites
INSTALLED_HACK=/usr/libexec/xscreensaver/quellmoor

ensure_saver() {
    id -u "$SAVER" >/dev/null 2>&1 && return
    useradd --system --create-home --home-dir "/var/lib/$SAVER" --shell /usr/sbin/nologin \
        "$SAVER" >>"$CASE_DIR/steps.log" 2>&1
}

saver_home() { echo "${SAVER_HOME:-$(getent passwd "$SAVER" | cut -d: -f6)}"; }

fresh_saver_home() {
    ensure_saver || fail "no user $SAVER could be made" || return
    chmod 711 "$WORK"
    SAVER_HOME=$WORK/home-${CASE_DIR##*/}
    install -d -o "$SAVER" -g "$SAVER" -m 700 "$SAVER_HOME"
}

# The command prefix that runs a program as the user, in its home (which holds no pictures, so
# the installed ones are read), with a clean environment on this case's display; more VAR=VALUE
# may follow. setpriv and env exec what follows, so a background job's process id is the
# program's own.
as_saver() {
    local home
    home=$(saver_home)
    # shellcheck disable=SC2034 # for the suites
    SAVER_RUN=(setpriv "--reuid=$SAVER" "--regid=$SAVER" --init-groups
        env -i -C "$home" HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin
        LIBGL_ALWAYS_SOFTWARE=1)
}

descends_from() {
    local pid=$1
    while [ "$pid" != "$2" ]; do
        pid=$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
        [ "${pid:-0}" -gt 0 ] || return 1
    done
}

# The process id of a running hack that the host HOST_PID started, other than EXCEPT; fails
# while there is none. Other runs may use the same user at the same time.
hack_pid() {
    local pid
    for pid in $(pgrep -u "$SAVER" -x quellmoor); do
        [ "$pid" != "${1:-0}" ] && ! process_gone "$pid" && descends_from "$pid" "$HOST_PID" &&
            echo "$pid" && return
    done
    return 1
}

await_hack() {
    wait_until 30 hack_pid "${1:-0}" >/dev/null || fail "the host started no hack" || return
    HACK_PID=$(hack_pid "${1:-0}")
    mark "hack $HACK_PID: $(tr '\0' ' ' <"/proc/$HACK_PID/cmdline")"
}

# The landscape from the installed pictures in the WxH+X+Y part of the screen, with RG the
# installed texture's red over green.
shows_landscape() {
    take_statistics "$1" && judge_landscape "$LAST_STATISTICS" "$2" >/dev/null
}

expect_landscape() {
    local rg
    rg=$(texture_rg /usr/share/quellmoor/quellmoorTex.tga)
    wait_until 30 shows_landscape "$1" "$rg" ||
        fail "no landscape in $1: $(judge_landscape "$LAST_STATISTICS" "$rg")"
}

# ---------------------------------------------------------------------------------------------
# Wine

wine_prefix() {
    local bits=$1 template=${QUELLMOOR_E2E_WINE_CACHE:-$WORK}/wine-prefix-64
    case $bits in
    64) WINE=$WINE64 SYSTEM32=windows/system32 ;;
    32) WINE=/usr/lib/wine/wine SYSTEM32=windows/syswow64 ;;
    *) e2e_abort "no Wine of $bits bits" ;;
    esac
    if [ ! -x "$WINE" ] || [ ! -x "$WINE64" ]; then
        skip_suite "$WINE or wine64 is missing"
    fi
    [ -z "$SUITE_SKIP" ] || return 0
    WINPROBE=$TOOLS/winprobe.exe
    [ -f "$WINPROBE" ] || x86_64-w64-mingw32-g++ -O1 -static -o "$WINPROBE" \
        "$E2E_DIR/winprobe.cpp" >>"$OUT/tools.log" 2>&1 ||
        e2e_abort "the Windows helper could not be built (see $OUT/tools.log)"
    unset WINEARCH
    # Without the whole 4 GiB reserved for it, an emulated 32-bit Wine (qemu-i386 7.2) can find
    # the address of its shared user data taken and end at once ("failed to map the shared user
    # data"); a prefix made so gets no 32-bit half.
    export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}
    preload_emulated_reserve
    mkdir -p "$(dirname "$template")"
    complete_prefix "$template" || make_wine_template "$template" ||
        e2e_abort "no Wine prefix could be made (see $OUT/prefix)"
    PREFIX=$WORK/prefix-$bits.$RANDOM
    cp -a "$template" "$PREFIX" || e2e_abort "the Wine prefix could not be copied"
    SYSTEM32=$PREFIX/drive_c/$SYSTEM32
    # Without Mono, Gecko and the menu builder, which mirrors the prefix's menus into the Linux
    # desktop's at every session's start: none of them is anything a case looks at.
    export WINEPREFIX=$PREFIX WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export WINEDEBUG=${WINEDEBUG:--all}
}

# Every 32-bit Wine process started through qemu-i386 (which reads QEMU_SET_ENV; a native one
# does not) preloads emulated-reserve.cpp, which spares it a minute of futile address-space
# reservations at start-up; ld.so picks the build of each process's word size by $LIB.
preload_emulated_reserve() {
    local bits lib
    [ -x /usr/lib/wine/wine ] || return 0
    for bits in 32 64; do
        lib=i386-linux-gnu
        [ "$bits" = 64 ] && lib=x86_64-linux-gnu
        [ -f "$TOOLS/lib/$lib/emulated-reserve.so" ] && continue
        mkdir -p "$TOOLS/lib/$lib"
        g++ -m"$bits" -std=c++17 -O1 -Wall -Wextra -shared -fPIC \
            -o "$TOOLS/lib/$lib/emulated-reserve.so" "$E2E_DIR/emulated-reserve.cpp" -ldl \
            >>"$OUT/tools.log" 2>&1 ||
            e2e_abort "the preload for emulated Wine could not be built (see $OUT/tools.log)"
    done
    # shellcheck disable=SC2016 # $LIB is ld.so's, expanded in each process
    export QEMU_SET_ENV='LD_PRELOAD='"$TOOLS"'/$LIB/emulated-reserve.so'
}

# A prefix holds its system DLLs, and its 32-bit half too where this machine runs 32-bit programs:
# a set-up whose 32-bit part failed would fail every 32-bit case later, far from the cause.
complete_prefix() {
    [ -f "$1/drive_c/windows/system32/kernel32.dll" ] &&
        { [ "${QUELLMOOR_E2E_WINE64_ONLY:-0}" = 1 ] ||
            ! /usr/lib/wine/wine --version >/dev/null 2>&1 ||
            [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]; }
}

# wineboot needs a display for its desktop process. The exit-code checks of the suites mean
# something only if Wine hands a program's exit code on: the helper ends with 2 without arguments.
# The prefix takes the template's name only when it is sound, so a broken one is never kept.
make_wine_template() {
    local helper_status started
    read_clock
    started=$NOW_MS
    CASE_DIR=$OUT/prefix
    mkdir -p "$CASE_DIR"
    PREFIX=$1.part
    rm -rf "$PREFIX"
    export WINEPREFIX=$PREFIX
    start_display 640x480 || return 1
    WINEARCH=win64 timeout 900 "$WINE64" wineboot -i </dev/null \
        >"$CASE_DIR/wineboot.log" 2>&1
    # On a busy machine the loader may give up waiting for the set-up while it still runs (the
    # log says "boot event wait timed out"): the session's end is the set-up's end.
    timeout 900 "$WINESERVER" -w
    timeout 300 "$WINE64" "$WINPROBE" </dev/null >/dev/null 2>&1
    helper_status=$?
    end_case_processes
    read_clock
    echo "e2e: Wine prefix made in $(((NOW_MS - started) / 1000)) s"
    complete_prefix "$PREFIX" && [ $helper_status -eq 2 ] &&
        rm -rf "$1" && mv "$PREFIX" "$1"
}

# Ends every process of the Wine session. Each case starts a new session, because the session's
# desktop process reads the display modes once, from the display it started on.
stop_wine() {
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1
}

# The helper is 64-bit whatever the program's bitness: it sees every window of the session and
# starts at once, where an emulated 32-bit one takes a minute. Its console ends lines with CR LF.
inspect() {
    timeout $((30 * E2E_PATIENCE)) "$WINE64" "$WINPROBE" "$@" </dev/null \
        2>>"$CASE_DIR/inspect.log" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
