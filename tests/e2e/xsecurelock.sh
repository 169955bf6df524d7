#!/usr/bin/env bash
# The Debian package under the real xsecurelock, set up as the README says: run as the
# unprivileged user, its XScreenSaver module runs Quellmoor and the landscape shows behind the
# lock until the user types the password into the prompt that a key brings up. The user gets a
# password for that while the lock lasts (its shell is nologin), and its locked one back after.
#
#   tests/e2e/xsecurelock.sh PACKAGE.deb
#
# Runs as root (dpkg) under the lock of the suites that install the package, and leaves it
# removed. Logs go to e2e-xsecurelock/ beside the package. See lib/harness.sh for the rest.

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
PACKAGE=$(readlink -f "$1")

e2e_begin "$(dirname "$PACKAGE")/e2e-xsecurelock"
for tool in dpkg useradd setpriv chpasswd xsecurelock xrdb; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
[ "$(id -u)" -eq 0 ] || skip_suite "installing the package needs root"

case_locked() {
    dpkg -i "$PACKAGE" >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -i failed" || return
    fresh_saver_home && as_saver || return
    printf '%s\n' 'programs: GL: quellmoor --root \n' >"$SAVER_HOME/.xscreensaver"
    background locker "${SAVER_RUN[@]}" XSECURELOCK_SAVER=saver_xscreensaver \
        XSECURELOCK_XSCREENSAVER_PATH="${INSTALLED_HACK%/*}" xsecurelock
    HOST_PID=$!
    await_hack 0 && expect_landscape 640x480+0+0 || return
    echo "$SAVER:Moor-7a" | chpasswd
    xdo key a sleep 1 type Moor-7a
    xdo key Return
    wait_until 20 process_gone "$HOST_PID"
    local unlocked=$?
    usermod -p '!' "$SAVER"
    [ $unlocked -eq 0 ] && wait "$HOST_PID" || fail "no unlock on the password" || return
    wait_until 10 process_gone "$HACK_PID" || fail "the hack outlived the lock"
}

run_case locked 640x480 case_locked
[ -n "$SUITE_SKIP" ] || dpkg -r quellmoor >"$OUT/dpkg-remove.log" 2>&1 || e2e_abort "dpkg -r failed"
e2e_end
