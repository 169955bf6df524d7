#!/usr/bin/env bash
# The Debian package under the real mate-screensaver: installed, its desktop entry is valid; the
# daemon, started as an unprivileged user on a private display and D-Bus session with Quellmoor
# chosen in gsettings, takes the hack's command from the entry, blanks the screen with the
# landscape when activated, and ends it on real input (a pointer movement, a key).
#
#   tests/e2e/mate-screensaver.sh PACKAGE.deb
#
# Runs as root (dpkg, the user account) and leaves the package removed; run it under the lock
# that the other suites installing the package take. Every case gives the user quellmoor-saver
# (made when missing, and kept) a fresh home, so its settings start from nothing. Logs go to
# e2e-mate/ beside the package. See lib/harness.sh for the rest.

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
PACKAGE=$(readlink -f "$1")
ENTRY=/usr/share/applications/screensavers/quellmoor.desktop
# Its menu id: the entry's path below applications/, with - for /.
THEME=screensavers-quellmoor

e2e_begin "$(dirname "$PACKAGE")/e2e-mate"
for tool in dpkg useradd setpriv dbus-daemon gsettings desktop-file-validate mate-screensaver \
    mate-screensaver-command; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
[ "$(id -u)" -eq 0 ] || skip_suite "installing the package needs root"

# MATE_RUN: SAVER_RUN on the case's own session bus, without the accessibility bus.
start_session() {
    fresh_saver_home || return
    as_saver
    background bus "${SAVER_RUN[@]}" dbus-daemon --session --nofork --print-address=1
    wait_until 20 grep -qs '^unix:' "$CASE_DIR/bus.out" || fail "no session bus" || return
    MATE_RUN=("${SAVER_RUN[@]}" "DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$CASE_DIR/bus.out")"
        NO_AT_BRIDGE=1)
}

mate_command() {
    "${MATE_RUN[@]}" mate-screensaver-command "$@" >>"$CASE_DIR/commands.log" 2>&1
}

mate_setting() {
    "${MATE_RUN[@]}" gsettings set org.mate.screensaver "$1" "$2" >>"$CASE_DIR/commands.log" \
        2>&1 || fail "gsettings refused $1 $2"
}

# As a user picks "Quellmoor" in the preferences, with locking off so that input unblanks at
# once instead of asking for the password. The settings go through dconf into the home's
# database, where the daemon reads them.
choose_quellmoor() {
    mate_setting mode single && mate_setting themes "['$THEME']" &&
        mate_setting lock-enabled false && mate_setting idle-activation-enabled false
}

# The daemon blanks with the landscape from the installed pictures, and took the command from
# the entry: so the theme is listed.
activate() {
    start_session && choose_quellmoor || return
    start_host daemon "${MATE_RUN[@]}" mate-screensaver --no-daemon --debug
    wait_until 30 mate_command --query || fail "the daemon did not answer" || return
    mate_command --activate || fail "--activate failed" || return
    await_hack 0 || return
    grep -q "Setting command for job: '$INSTALLED_HACK --root'" "$CASE_DIR/daemon.out" ||
        fail "the daemon did not take the command from $ENTRY" || return
    expect_landscape 640x480+0+0
}

case_install() {
    dpkg -i "$PACKAGE" >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -i failed" || return
    desktop-file-validate "$ENTRY" >"$CASE_DIR/validate.log" 2>&1 ||
        fail "$ENTRY is not a valid desktop entry: $(head -n 1 "$CASE_DIR/validate.log")"
}

case_activate() { activate; }

# INPUT... (xdotool's, through XTEST as a device's) ends the run: the hack ends and the daemon
# unblanks. The daemon takes neither a lone motion event (one step of 50 or 260 pixels) nor a
# slow creep (six steps of 13 pixels) for activity: a movement is a few steps of 50 pixels.
case_input_ends() {
    activate || return
    xdo "$@"
    mark "input: $*"
    wait_until 10 process_gone "$HACK_PID" || fail "the hack still runs 10 s after $*" || return
    : >"$CASE_DIR/commands.log"
    mate_command --query
    ! grep -q 'is active' "$CASE_DIR/commands.log" || fail "still active after $*"
}

case_remove() {
    dpkg -r quellmoor >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -r failed" || return
    [ ! -e "$ENTRY" ] || fail "$ENTRY left behind"
}

run_case install 640x480 case_install
dpkg-query -W -f '${Status}' quellmoor 2>/dev/null | grep -q 'ok installed' ||
    skip_suite "the package is not installed"
run_case activate 640x480 case_activate
run_case motion_ends 640x480 case_input_ends mousemove_relative 40 30 sleep 0.2 \
    mousemove_relative 40 30 sleep 0.2 mousemove_relative 40 30
run_case click_ends 640x480 case_input_ends click 1
run_case key_ends 640x480 case_input_ends key a
run_case remove 640x480 case_remove
e2e_end
