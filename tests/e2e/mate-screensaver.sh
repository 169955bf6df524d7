#!/usr/bin/env bash
# The Debian package under the real mate-screensaver: its desktop entry is valid; the daemon,
# run as the unprivileged user on its own D-Bus session with Quellmoor chosen in gsettings (the
# case's fresh home holds the dconf database), takes the hack's command from the entry, shows the
# landscape when activated, and ends it on real input.
#
#   tests/e2e/mate-screensaver.sh PACKAGE.deb
#
# Runs as root (dpkg) under the lock of the suites that install the package, and leaves it
# removed. Logs go to e2e-mate/ beside the package. See lib/harness.sh for the rest.

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
PACKAGE=$(readlink -f "$1")
ENTRY=/usr/share/applications/screensavers/quellmoor.desktop

e2e_begin "$(dirname "$PACKAGE")/e2e-mate"
for tool in dpkg useradd setpriv dbus-daemon gsettings desktop-file-validate mate-screensaver; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
[ "$(id -u)" -eq 0 ] || skip_suite "installing the package needs root"

mate() { "${MATE_RUN[@]}" "$@" >>"$CASE_DIR/commands.log" 2>&1; }

# As a user picks "Quellmoor" in the preferences (the theme is the entry's menu id), with
# locking off so that input unblanks without asking for the password.
activate() {
    fresh_saver_home && as_saver || return
    background bus "${SAVER_RUN[@]}" dbus-daemon --session --nofork --print-address=1
    wait_until 20 grep -qs '^unix:' "$CASE_DIR/bus.out" || fail "no session bus" || return
    MATE_RUN=("${SAVER_RUN[@]}" "DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$CASE_DIR/bus.out")"
        NO_AT_BRIDGE=1)
    local key
    for key in mode=single "themes=['screensavers-quellmoor']" lock-enabled=false; do
        mate gsettings set org.mate.screensaver "${key%%=*}" "${key#*=}" ||
            fail "gsettings refused $key" || return
    done
    background daemon "${MATE_RUN[@]}" mate-screensaver --no-daemon --debug
    HOST_PID=$!
    wait_until 30 mate mate-screensaver-command --query || fail "no daemon" || return
    mate mate-screensaver-command --activate || fail "--activate failed" || return
    await_hack 0 || return
    grep -q "command for job: '$INSTALLED_HACK --root'" "$CASE_DIR/daemon.out" ||
        fail "the daemon did not take the command from $ENTRY" || return
    expect_landscape 640x480+0+0
}

case_install() {
    dpkg -i "$PACKAGE" >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -i failed" || return
    desktop-file-validate "$ENTRY" >"$CASE_DIR/validate.log" 2>&1 || fail "no valid $ENTRY"
}

# The daemon takes neither a lone motion event (one step of 50 or 260 pixels) nor a slow creep
# (six steps of 13 pixels) for activity: a movement is a few steps of 50 pixels.
case_input_ends() {
    activate || return
    xdo "$@"
    wait_until 10 process_gone "$HACK_PID" || fail "the hack still runs 10 s after $*" || return
    mate mate-screensaver-command --query
    # Inactive before --activate and again now.
    [ "$(grep -c 'is inactive' "$CASE_DIR/commands.log")" = 2 ] || fail "still active after $*"
}

run_case install 640x480 case_install
run_case activate 640x480 activate
run_case motion_ends 640x480 case_input_ends mousemove_relative 40 30 sleep 0.2 \
    mousemove_relative 40 30 sleep 0.2 mousemove_relative 40 30
run_case click_ends 640x480 case_input_ends click 1
run_case key_ends 640x480 case_input_ends key a
[ -n "$SUITE_SKIP" ] || dpkg -r quellmoor >"$OUT/dpkg-remove.log" 2>&1 || e2e_abort "dpkg -r failed"
e2e_end
