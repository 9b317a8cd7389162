#!/usr/bin/env bash
# Runs a test program on a private virtual X server (1024x768, the smallest screen a teacher is
# likely to have) managed by the openbox window manager, as on a teacher's desktop: window
# frames, focus and titles behave there as they really do. Exits 77 (skipped) where Xvfb,
# openbox, xdotool, xprop or xauth is missing or no X server starts.
#
# Other programs on the machine may run X servers of their own at the same time. The server
# takes its display number with the usual lock file (/tmp/.X<n>-lock), so that nobody else
# picks the same number, and admits only clients holding this run's own cookie, so that no
# other program's window, window manager or keys can reach it.
set -u
program=$1
shift
for tool in Xvfb openbox xdotool xprop xauth; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: desktop test skipped"
        exit 77
    fi
done
work=$(mktemp -d)
cleanup() {
    kill "${wm:-}" "${xvfb:-}" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Waits until the condition command succeeds; false once the process has ended or after a
# minute, so that a busy machine slows the run down but never fails it.
wait_for() {
    local pid=$1
    shift
    for _ in $(seq 1200); do
        "$@" && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

export XAUTHORITY="$work/xauthority"
: >"$XAUTHORITY"
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
# The server tells its parent it is ready with SIGUSR1 when it inherits the signal ignored.
ready=0
trap 'ready=1' USR1
server_ready() { [[ $ready == 1 ]]; }
# A number another server holds makes ours end at once; the next one is tried then. The
# numbers start at a random place above those other programs usually take first.
number=$((200 + RANDOM % 800))
for _ in $(seq 50); do
    number=$((number + 1))
    xauth -q add ":$number" . "$cookie"
    ready=0
    (
        trap '' USR1
        # -noreset: the server would otherwise start afresh whenever its last client leaves,
        # refusing whoever connects meanwhile (the window manager, as a check disconnects).
        exec Xvfb ":$number" -auth "$XAUTHORITY" -noreset -screen 0 1024x768x24 -nolisten tcp
    ) 2>"$work/xvfb.log" &
    xvfb=$!
    wait_for "$xvfb" server_ready && kill -0 "$xvfb" 2>/dev/null && break
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=
done
if [[ -z $xvfb ]]; then
    echo "the virtual X server did not start: desktop test skipped"
    cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=":$number"
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is ready once it has announced itself on the root window; it has taken
# the screen over by then, so every window mapped afterwards is framed and focused by it.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if ! wait_for "$wm" wm_ready; then
    echo "the window manager did not start on $DISPLAY"
    cat "$work/openbox.log"
    exit 1
fi
# The program's settings (recent files, the printer chosen) go to the run's own folder.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb "$program" "$@"
