#!/usr/bin/env bash
# Starts the program under a virtual X server with a generated 30-student class, answers the
# start-up's printer warning, and saves a screenshot of the whole screen.
# Usage: tools/screenshot.sh [OUT.png]   (needs xvfb, xdotool and imagemagick)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/qhsy-screenshot.png}
work=$(mktemp -d)
trap 'kill "${app:-0}" "${xvfb:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT

# A class of 30 students with comments of a few lines, in the comment-file format.
{
    printf '版本=标准版v1.0\r\nteacher=王老师\r\n'
    for p in student pytext teacher; do
        printf '%sfontname=宋体\r\n%sfontsize=10.5\r\n%sfontbold=false\r\n%sfontitalic=false\r\n' "$p" "$p" "$p" "$p"
    done
    for i in $(seq 1 30); do
        printf '*!*学生%02d\r\n' "$i"
        printf '你上课认真听讲，积极举手发言，作业书写工整。\r\n希望你在新的学期里继续努力，更上一层楼！\r\n*!*\r\n'
    done
} | iconv -f UTF-8 -t GB18030 > "$work/三年级二班.py"

Xvfb :97 -screen 0 1280x800x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
export DISPLAY=:97
"$top/build/program/qhsy" "$work/三年级二班.py" >/dev/null 2>&1 & app=$!
sleep 3
xdotool key Return 2>/dev/null || true   # the printer warning, when no printer is installed
sleep 2
import -window root "$out"
echo "screenshot: $out"
