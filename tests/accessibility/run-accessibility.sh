#!/usr/bin/env bash
# Runs the accessibility suite on the desktop tests' private X server with the openbox window
# manager (run-under-x.sh), in a private D-Bus session with its own accessibility bus, as a
# teacher's desktop with a screen reader has them. Exits 77 (skipped) where a tool is missing
# or no X server starts.
set -u
here=$(cd "$(dirname "$0")" && pwd)

if [[ "${1:-}" != --on-x ]]; then
    for tool in dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool is not installed: accessibility suite skipped"
            exit 77
        fi
    done
    if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
        echo "python3-pyatspi is not installed: accessibility suite skipped"
        exit 77
    fi
    exec "$here/../ui/desktop/run-under-x.sh" "$0" --on-x "$@"
fi

# On the X server now (run-under-x.sh chose the xcb platform and a private settings folder).
program=$2
class=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The class is copied: the suite types into it and saves it. Recovery copies stay in the run's
# own folder.
cp "$class" "$work/class.py"
cp "$class" "$work/road.py"
export XDG_STATE_HOME="$work/state" CUPS_SERVER=/nonexistent/cups.sock
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
