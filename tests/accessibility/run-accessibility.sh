#!/usr/bin/env bash
# Runs the accessibility suite on a private virtual X server with the openbox window manager
# and a private D-Bus session with its own accessibility bus, as a teacher's desktop with a
# screen reader has them. Exits 77 (skipped) where a tool is missing or no X server starts.
set -u
here=$(cd "$(dirname "$0")" && pwd)
program=$1
class=$2
for tool in Xvfb openbox xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: accessibility suite skipped"
        exit 77
    fi
done
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "python3-pyatspi is not installed: accessibility suite skipped"
    exit 77
fi
work=$(mktemp -d)
cleanup() {
    kill "${wm:-}" "${xvfb:-}" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
    [[ -s "$work/display" ]] && break
    sleep 0.05
done
if [[ ! -s "$work/display" ]]; then
    echo "the virtual X server did not start: accessibility suite skipped"
    cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=":$(head -n1 "$work/display")"
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
# The class is copied: the suite types into it and saves it. Settings and recovery copies stay
# in the run's own folders.
cp "$class" "$work/class.py"
cp "$class" "$work/road.py"
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" CUPS_SERVER=/nonexistent/cups.sock
# On the X server, whatever the tests around it use: only there does Qt speak AT-SPI.
export QT_QPA_PLATFORM=xcb
exec 3>&-
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    bus=$!
    # The program looks for the accessibility bus as it starts.
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.05
    done
    /usr/bin/python3 "$0" "$1" "$2"
    status=$?
    kill $bus 2>/dev/null
    exit $status' "$here/accessibility.py" "$program" "$work/class.py"
