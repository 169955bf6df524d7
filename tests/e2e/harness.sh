# Private X displays, the Wine session and the program under test, with a time limit on every wait.
# Sourced by run.sh, which sets PREFIX (the Wine prefix), CASE_DIR (logs and screenshots of the
# running case) and CASE_CWD (the program's working directory).

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
DISP=
XVFB_PID=
PROG_PID=
PROG_STATUS=
CASE_STARTED=0

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Notes in CASE_DIR/steps.log how far into the running case a step was reached.
mark() {
    if [ "$CASE_STARTED" -gt 0 ]; then
        echo "$(($(now_ms) - CASE_STARTED)) ms: $*" >>"$CASE_DIR/steps.log"
    fi
}

# Runs COMMAND every 0.2 s until it succeeds (true) or SECONDS have passed (false).
wait_until() {
    local seconds=$1
    shift
    local deadline=$(($(now_ms) + seconds * 1000))
    while true; do
        "$@" && return 0
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}

display_ready() {
    kill -0 "$XVFB_PID" 2>/dev/null && xdpyinfo -display "$1" >/dev/null 2>&1
}

# Starts Xvfb with one WIDTHxHEIGHT screen at depth 24 on the first free display from :90 on.
start_display() {
    local size=$1 n
    for n in $(seq 90 189); do
        if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then
            continue
        fi
        # Without -noreset the server resets whenever its last client leaves, which puts the
        # pointer back in the middle of the screen.
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >>"$CASE_DIR/xvfb.log" 2>&1 &
        XVFB_PID=$!
        # Another user may take the same number at the same moment: the lock names the winner.
        if wait_until 10 display_ready ":$n" &&
            [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$XVFB_PID" ]; then
            DISP=":$n"
            # Wine's DirectInput turns the pointer position it first sees into a movement from
            # the origin, which would end the screensaver at once; parked there, it stays still.
            xdo mousemove 0 0
            return 0
        fi
        stop_display
    done
    return 1
}

stop_display() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait_until 10 process_gone "$XVFB_PID" || kill -KILL "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    XVFB_PID=
    DISP=
}

# A process that has ended but is not yet reaped counts as gone (state Z after its name).
process_gone() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    stat=${stat##*) }
    [ "${stat%% *}" = Z ]
}

# Runs COMMAND in the Wine session of the current display.
wine_env() {
    env DISPLAY="$DISP" WINEPREFIX="$PREFIX" WINEDLLOVERRIDES="mscoree,mshtml=" \
        WINEDEBUG="${WINEDEBUG:--all}" "$@"
}

# Ends every process of the Wine session. Each case starts a new session, because the session's
# desktop process reads the display modes once, from the display it started on.
stop_wine() {
    mark "stopping the Wine session"
    WINEPREFIX="$PREFIX" timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    WINEPREFIX="$PREFIX" timeout 20 "$WINESERVER" -w >/dev/null 2>&1
}

# Starts COMMAND (a Windows program and its arguments) under Wine in CASE_CWD.
launch() {
    (cd "$CASE_CWD" && exec env DISPLAY="$DISP" WINEPREFIX="$PREFIX" \
        WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG="${WINEDEBUG:--all}" "$WINE" "$@") \
        </dev/null >>"$CASE_DIR/program.log" 2>&1 &
    PROG_PID=$!
    PROG_STATUS=
    mark "started $*"
}

program_ended() { process_gone "$PROG_PID"; }

# Waits up to SECONDS for the program to end and keeps its exit code in PROG_STATUS; a program
# still running then is killed, and the wait fails.
await_exit() {
    local seconds=$1
    if wait_until "$seconds" program_ended; then
        wait "$PROG_PID"
        PROG_STATUS=$?
        mark "program ended with $PROG_STATUS"
        return 0
    fi
    kill -KILL "$PROG_PID" 2>/dev/null
    wait "$PROG_PID" 2>/dev/null
    return 1
}

stop_program() {
    if [ -n "$PROG_PID" ] && ! program_ended; then
        kill -KILL "$PROG_PID" 2>/dev/null
    fi
    [ -n "$PROG_PID" ] && wait "$PROG_PID" 2>/dev/null
    PROG_PID=
}

xdo() { DISPLAY="$DISP" timeout 10 xdotool "$@"; }

# X windows on the display named exactly TITLE (xdotool matches names ignoring case); VISIBLE
# set to 1 keeps only mapped ones.
windows_named() {
    local title=$1 visible=${2:-0} id
    local options=(search --name "^$title\$")
    [ "$visible" = 1 ] && options=(search --onlyvisible --name "^$title\$")
    for id in $(xdo "${options[@]}" 2>/dev/null); do
        [ "$(xdo getwindowname "$id" 2>/dev/null)" = "$title" ] && echo "$id"
    done
}

# Names of the mapped windows on the display apart from the root.
visible_window_names() {
    local root id name
    root=$(DISPLAY="$DISP" timeout 10 xwininfo -root | awk '/Window id/ { print $4 }')
    for id in $(xdo search --maxdepth 1 --onlyvisible --name '' 2>/dev/null); do
        [ "$id" -eq $((root)) ] && continue
        name=$(xdo getwindowname "$id" 2>/dev/null)
        echo "${name:-untitled window $id}"
    done
}

# Prints the id of the mapped window titled TITLE once there is one, waiting up to SECONDS; fails
# early when the program ends first.
await_window() {
    local title=$1 seconds=$2 found
    local deadline=$(($(now_ms) + seconds * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        found=$(windows_named "$title" 1 | head -n 1)
        if [ -n "$found" ]; then
            mark "window $title shown"
            echo "$found"
            return 0
        fi
        program_ended && return 1
        sleep 0.2
    done
    return 1
}

# Prints WIDTH HEIGHT X Y of an X window on the screen.
window_geometry() {
    xdo getwindowgeometry --shell "$1" | awk -F= '{ v[$1] = $2 }
        END { if (!("WIDTH" in v)) exit 1; print v["WIDTH"], v["HEIGHT"], v["X"], v["Y"] }'
}

# Runs the Windows helper in the current Wine session; its console ends lines with CR LF.
inspect() {
    wine_env timeout 30 "$WINE" "$TOOLS/winprobe.exe" "$@" </dev/null 2>>"$CASE_DIR/inspect.log" |
        tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# Saves a screenshot of the whole display as CASE_DIR/NAME.png.
screenshot() {
    mark "screenshot $1"
    DISPLAY="$DISP" timeout 20 /usr/bin/import -window root "$CASE_DIR/$1.png" \
        2>>"$CASE_DIR/xvfb.log"
}

# Gives WINDOW the keyboard focus (there is no window manager to do it) and presses KEY.
press_key() {
    xdo windowfocus --sync "$1" >/dev/null 2>&1
    xdo key "$2"
    mark "pressed $2"
}
