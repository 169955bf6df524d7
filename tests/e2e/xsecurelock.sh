#!/usr/bin/env bash
# The Debian package under the real xsecurelock with its XScreenSaver saver module, set up as the
# README says: the locker, started as an unprivileged user on a private display, runs Quellmoor
# from the hacks' folder and shows the landscape behind the lock.
#
#   tests/e2e/xsecurelock.sh PACKAGE.deb
#
# Ending a lock takes the user's password, which this test cannot give: input only brings up the
# password prompt over the landscape. So the test ends the lock by killing xsecurelock (a user
# does not: the prompt unlocks), and the hack ends with it.
# Runs as root (dpkg, the user account) and leaves the package removed; run it under the lock
# that the other suites installing the package take. The user quellmoor-saver is made when
# missing, and kept; the case gives it a fresh home. Logs go to e2e-xsecurelock/ beside the
# package. See lib/harness.sh for the rest.

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
PACKAGE=$(readlink -f "$1")

e2e_begin "$(dirname "$PACKAGE")/e2e-xsecurelock"
for tool in dpkg useradd setpriv xsecurelock xrdb; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
[ -x /usr/libexec/xsecurelock/saver_xscreensaver ] || skip_suite "saver_xscreensaver is missing"
[ "$(id -u)" -eq 0 ] || skip_suite "installing the package needs root"

# The README's ~/.xscreensaver for xsecurelock, and its command, as the user.
case_locked() {
    dpkg -i "$PACKAGE" >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -i failed" || return
    fresh_saver_home || return
    printf '%s\n' 'programs: GL: quellmoor --root \n' >"$SAVER_HOME/.xscreensaver"
    chown "$SAVER:" "$SAVER_HOME/.xscreensaver"
    as_saver
    start_host locker "${SAVER_RUN[@]}" XSECURELOCK_SAVER=saver_xscreensaver \
        XSECURELOCK_XSCREENSAVER_PATH="${INSTALLED_HACK%/*}" xsecurelock
    await_hack 0 || return
    expect_landscape 640x480+0+0 || return
    kill "$HOST_PID"
    wait_until 10 process_gone "$HACK_PID" || fail "the hack outlived the killed xsecurelock"
}

run_case locked 640x480 case_locked
if [ -z "$SUITE_SKIP" ]; then
    dpkg -r quellmoor >"$OUT/dpkg-remove.log" 2>&1 || e2e_abort "dpkg -r failed"
fi
e2e_end
