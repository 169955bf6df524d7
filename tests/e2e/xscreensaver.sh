#!/usr/bin/env bash
# The Debian package under the real XScreenSaver daemon: the package is checked by lintian and
# installed; the daemon, started as an unprivileged user (it runs no hack as root) on a private
# display with Quellmoor as its only hack, blanks the screen with the landscape (on two monitors
# a hack on each), paces the hack (its CPU time at the default delay against -delay 0, in the
# same run), and ends it when told;
# a preview window is drawn into at its size, with the frame rate when asked; -window makes a
# window of its own with no mode change; removing the package takes every file away.
#
#   tests/e2e/xscreensaver.sh PACKAGE.deb
#
# Runs as root (dpkg, the user account) and leaves the package removed. The user
# quellmoor-saver is made when it does not exist, and kept. Logs go to e2e/ beside the package.
# See lib/harness.sh for the rest.

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
# shellcheck source-path=SCRIPTDIR source=lib/harness.sh
source "$(dirname "$0")/lib/harness.sh"
PACKAGE=$(readlink -f "$1")
HACK=/usr/libexec/xscreensaver/quellmoor
DATA=/usr/share/quellmoor
# The daemon runs the first hack on -activate; -select 2 runs the second.
PROGRAMS='programs: \
  GL: quellmoor --root \n\
  GL: quellmoor --root --delay 0 \n'
# Quellmoor's entry as the README and the manual page give it for a list that goes on below it.
LIST_ENTRY="  GL: quellmoor --root \\n\\"
# Every CPU measurement of a hack lasts this long.
CPU_SECONDS=5

e2e_begin "$(dirname "$PACKAGE")/e2e"
for tool in dpkg lintian useradd setpriv xscreensaver xscreensaver-command; do
    command -v "$tool" >/dev/null || skip_suite "$tool is missing"
done
[ "$(id -u)" -eq 0 ] || skip_suite "installing the package needs root"
FILES=$WORK/package-files

# ---------------------------------------------------------------------------------------------
# The user, the daemon and the hack

# No locking, fading or timeout of its own: the daemon blanks only when told.
write_settings() {
    local settings
    settings="$(saver_home)/.xscreensaver"
    printf '%s\n' 'timeout: 1:00:00' 'cycle: 0:00:00' 'lock: False' 'fade: False' \
        'unfade: False' 'splash: False' 'dpmsEnabled: False' 'grabDesktopImages: False' \
        'mode: one' 'selected: 0' "$PROGRAMS" >"$settings"
    chown "$SAVER:" "$settings"
}

saver_command() {
    as_saver
    "${SAVER_RUN[@]}" xscreensaver-command "$@" >>"$CASE_DIR/commands.log" 2>&1
}

start_daemon() {
    ensure_saver || fail "no user $SAVER could be made" || return
    write_settings
    as_saver
    background daemon "${SAVER_RUN[@]}" xscreensaver -no-splash -verbose
    HOST_PID=$!
    wait_until 30 saver_command -version || fail "the daemon did not answer" || return
    mark "daemon ready"
}

# User and system time of PID so far, in clock ticks, all its threads together.
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat") || return 1
    stat=${stat##*) }
    awk '{ print $12 + $13 }' <<<"$stat"
}

# Prints the ticks PID uses over CPU_SECONDS.
cpu_over_interval() {
    local before after
    before=$(cpu_ticks "$1") || return 1
    sleep "$CPU_SECONDS"
    after=$(cpu_ticks "$1") || return 1
    echo $((after - before))
}

# ---------------------------------------------------------------------------------------------
# Cases

case_install() {
    lintian --fail-on error "$PACKAGE" >"$CASE_DIR/lintian.log" 2>&1 ||
        fail "lintian reports errors: $(grep -m 3 '^E:' "$CASE_DIR/lintian.log")" || return
    dpkg -i "$PACKAGE" >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -i failed" || return
    dpkg -L quellmoor >"$FILES"
    local file
    for file in "$HACK" /usr/share/xscreensaver/config/quellmoor.xml "$DATA/quellmoorMap.tga" \
        "$DATA/quellmoorTex.tga" /usr/share/man/man6/quellmoor.6.gz \
        /usr/share/doc/quellmoor/copyright; do
        [ -f "$file" ] || fail "$file not installed" || return
    done
    dpkg-query -W -f '${Suggests}' quellmoor | grep -qw xscreensaver ||
        fail "the package does not suggest xscreensaver" || return
    "$HACK" --help | grep -q -- '-delay US' || fail "--help does not list the options"
}

# From the user's home, which holds no pictures: the landscape comes from the installed ones.
# The settings hold the README's one line for a fresh home.
case_activate() {
    local PROGRAMS='programs: GL: quellmoor --root \n'
    start_daemon || return
    saver_command -activate
    await_hack || return
    expect_landscape 640x480+0+0
}

case_paced_cpu() {
    start_daemon || return
    saver_command -activate
    await_hack || return
    expect_landscape 640x480+0+0 || return
    local paced unpaced first=$HACK_PID
    paced=$(cpu_over_interval "$first") || fail "the paced hack ended" || return
    saver_command -select 2
    await_hack "$first" || return
    grep -q -- '--delay' "/proc/$HACK_PID/cmdline" || fail "-select 2 ran another hack" || return
    expect_landscape 640x480+0+0 || return
    unpaced=$(cpu_over_interval "$HACK_PID") || fail "the unpaced hack ended" || return
    echo "CPU over $CPU_SECONDS s: $paced ticks at the default delay, $unpaced at -delay 0" |
        tee "$CASE_DIR/cpu.txt"
    [ $((paced * 2)) -le "$unpaced" ] ||
        fail "paced frames cost $paced ticks, more than half of $unpaced unpaced"
}

# The list as xscreensaver-settings writes it: every hack of the daemon's own list (its
# app-defaults hold it in the same form), one a line, continued with `\`, the first one the user's
# own (Quellmoor at -delay 0 instead of maze), and Quellmoor's entry put in as the README says,
# right below the `programs:` line. The daemon runs that entry, and -select 2 the user's own
# below it: the list goes on past the README's line.
case_settings_list() {
    local PROGRAMS first
    PROGRAMS=$(sed -n '/^\*programs:/,/[^\\]$/p' /etc/X11/app-defaults/XScreenSaver |
        ENTRY=$LIST_ENTRY awk 'NR == 1 { print "programs: \\"; print ENVIRON["ENTRY"]; next }
            NR == 2 { print "  GL: quellmoor --root --delay 0 \\n\\"; next } 1')
    [ "$(grep -c 'n\\$' <<<"$PROGRAMS")" -gt 100 ] || fail "no list in the app-defaults" || return
    start_daemon || return
    saver_command -activate
    await_hack || return
    expect_landscape 640x480+0+0 || return
    first=$HACK_PID
    saver_command -select 2
    await_hack "$first" || return
    grep -q -- '--delay' "/proc/$HACK_PID/cmdline" || fail "the list ends at Quellmoor's entry"
}

# On two monitors the daemon runs a hack on each; each fills its monitor with the landscape.
case_two_monitors() {
    start_daemon || return
    saver_command -activate
    await_hack || return
    await_hack "$HACK_PID" || return
    local monitor
    for monitor in $(monitors); do
        expect_landscape "$monitor" || return
    done
}

no_hack() { ! hack_pid >/dev/null; }
hack_gone() { process_gone "$HACK_PID" && no_hack; }
# Not even a process that has ended and waits for its parent to collect it.
no_hack_process() {
    local pid
    for pid in $(pgrep -u "$SAVER" -x quellmoor); do
        descends_from "$pid" "$HOST_PID" && return 1
    done
    return 0
}

case_deactivate() {
    start_daemon || return
    saver_command -activate
    await_hack || return
    expect_landscape 640x480+0+0 || return
    local started command
    read_clock
    started=$NOW_MS
    saver_command -deactivate &
    command=$!
    until hack_gone || { read_clock && [ $((NOW_MS - started)) -gt 2000 ]; }; do
        sleep 0.05
    done
    wait "$command"
    hack_gone || fail "a hack is still running 2 s after -deactivate" || return
    read_clock
    mark "hack ended $((NOW_MS - started)) ms after -deactivate"
    # The daemon collects its ended hack when it has unblanked, a moment later.
    wait_until 10 no_hack_process || fail "the ended hack was never collected"
}

# As the settings dialog shows it: the hack, with OPTION..., in a 200x150 window at the screen's
# corner that another program made.
start_preview() {
    ensure_saver || fail "no user $SAVER could be made" || return
    background preview "$TOOLS/xhelper" make-window 200 150
    wait_until 20 grep -qs 0x "$CASE_DIR/preview.out" || fail "no preview window" || return
    as_saver
    launch "${SAVER_RUN[@]}" "$HACK" --window-id "$(head -n 1 "$CASE_DIR/preview.out")" "$@"
}

case_preview() {
    start_preview || return
    expect_landscape 200x150+0+0
}

# White's share of the WxH+X+Y part of the last screenshot: the frame-rate text, which neither
# sky nor ground comes near.
white_share() {
    "$IM_CONVERT" "$CASE_DIR/screen.ppm" -crop "$1" +repage -fuzz 12% -fill black +opaque white \
        -format '%[fx:mean]' info:
}

case_frame_rate() {
    start_preview --fps || return
    expect_landscape 200x150+0+0 || return
    local corner right
    corner=$(white_share 64x16+0+126) right=$(white_share 64x16+136+126)
    mark "white in the lower left corner $corner, in the lower right $right"
    statistics_hold "corner=$corner right=$right" 'corner >= 0.05 && right <= 0.01' ||
        fail "no frame rate in the lower left corner (white $corner, elsewhere $right)"
}

# A window of its own at 640x480 where a full-screen run would change the mode.
case_window() {
    ensure_saver || fail "no user $SAVER could be made" || return
    offer_mode 640 480 || return
    as_saver
    launch "${SAVER_RUN[@]}" "$HACK" --window
    local window
    window=$(await_window Quellmoor 30) || fail "no window titled Quellmoor" || return
    expect_window_facts "$window" "override=0 geometry=640x480+0+0 viewable=1 closable=1" ||
        return
    expect_screen "screen 1024x768 crtc 1024x768" || return
    expect_landscape 640x480+0+0 || return
    close_window "$window"
    expect_exit 30 0
}

case_remove() {
    dpkg -r quellmoor >"$CASE_DIR/dpkg.log" 2>&1 || fail "dpkg -r failed" || return
    [ ! -e "$HACK" ] || fail "the hack is still installed" || return
    local file
    while read -r file; do
        [ -d "$file" ] || [ ! -e "$file" ] || fail "$file left behind" || return
    done <"$FILES"
    [ ! -e "$DATA" ] || fail "$DATA left behind"
}

run_case install 640x480 case_install
[ -s "$FILES" ] || skip_suite "the package is not installed"
run_case activate 640x480 case_activate
run_case settings_list 640x480 case_settings_list
run_case paced_cpu 640x480 case_paced_cpu
run_case two_monitors 1024x768,800x600 case_two_monitors
run_case deactivate 640x480 case_deactivate
run_case preview 640x480 case_preview
run_case frame_rate 640x480 case_frame_rate
run_case window 1024x768 case_window
run_case remove 640x480 case_remove
e2e_end
