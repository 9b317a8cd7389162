#!/usr/bin/env bash
# Runs a test program on a private virtual X server (1024x768, the smallest screen a teacher is
# likely to have) managed by the openbox window manager, as on a teacher's desktop: window
# frames, focus and titles behave there as they really do. Exits 77 (skipped) where Xvfb,
# openbox or xdotool is missing.
set -u
program=$1
shift
for tool in Xvfb openbox xdotool; do
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

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
    [[ -s "$work/display" ]] && break
    sleep 0.05
done
if [[ ! -s "$work/display" ]]; then
    echo "the virtual X server did not start: desktop test skipped"
    cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=":$(head -n1 "$work/display")"
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is ready once it has announced itself on the root window.
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
# The program's settings (recent files, the printer chosen) go to the run's own folder.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb "$program" "$@"
