#!/usr/bin/env bash
# Makes sure the CUPS scheduler runs and offers the print queue "qhsy-test" the tests print on.
# The queue writes every job as a PDF file into ~/PDF of the job's user (cups-pdf), with the
# job id in front of the file name and the text kept searchable. It is never made the default
# printer: the tests choose it with PRINTER=qhsy-test.
# Quick when everything is in place; otherwise needs root or sudo. Whatever stands in the way
# (no rights, a scheduler that cannot start here) is only reported: the tests that print on
# the queue then skip, and the rest of the run goes on.
set -uo pipefail   # no -e: a failed step shows in the final check, never fails the run
queue=qhsy-test
# Queue defaults: "job_<id>-" before every file name (jobs of one title do not overwrite each
# other, and their order shows), and a PostScript renderer that keeps the text extractable.
options=(Label=1 pdftops-renderer=pdftocairo)

command -v lpstat >/dev/null && [[ -x /usr/sbin/cupsd ]] || {
    echo "test-printer: CUPS is not installed: printing tests will be skipped"
    exit 0
}

queue_ready() {
    lpstat -r 2>/dev/null | grep -q "is running" || return 1
    lpstat -p "$queue" >/dev/null 2>&1 || return 1
    local current
    current=$(lpoptions -p "$queue" 2>/dev/null) || return 1
    for option in "${options[@]}"; do
        [[ " $current " == *" $option "* ]] || return 1
    done
}
queue_ready && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "test-printer: need root or sudo to set up the queue $queue: printing tests will be skipped"
        exit 0
    fi
    as_root=(sudo)
fi

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    if [[ -d /run/systemd/system ]] && [[ $(ps -p 1 -o comm=) == systemd ]]; then
        "${as_root[@]}" systemctl start cups
    else
        "${as_root[@]}" /usr/sbin/cupsd   # goes to the background by itself
    fi
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.2
    done
    lpstat -r 2>/dev/null | grep -q "is running" || { echo "test-printer: the CUPS scheduler did not start: printing tests will be skipped" >&2; exit 0; }
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
    model=$(lpinfo -m 2>/dev/null | awk '/cups-pdf/ && /noopt/ {print $1; exit}')
    [[ -n "$model" ]] || { echo "test-printer: no cups-pdf printer model (printer-driver-cups-pdf): printing tests will be skipped" >&2; exit 0; }
    "${as_root[@]}" lpadmin -p "$queue" -v cups-pdf:/ -m "$model" -E
fi
defaults=()
for option in "${options[@]}"; do
    defaults+=(-o "${option%%=*}-default=${option#*=}")
done
"${as_root[@]}" lpadmin -p "$queue" "${defaults[@]}"
"${as_root[@]}" cupsenable "$queue"
"${as_root[@]}" cupsaccept "$queue"
queue_ready || { echo "test-printer: the queue $queue is not ready: printing tests will be skipped" >&2; exit 0; }
echo "test-printer: queue $queue ready"
