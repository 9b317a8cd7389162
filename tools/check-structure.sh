#!/usr/bin/env bash
# Checks the shape of the source tree: no include runs from a lower layer to a higher one, no
# include cycle between folders, no source file over 600 lines, and no program file named outside
# ProgramFiles. Prints every breach and exits 1 when there is one.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)

# The layers, lowest first. Folders of one rank may include each other only without a cycle.
rank() {
    case $1 in
        core/platform) echo 0 ;;
        core/document) echo 1 ;;
        core/library | core/printing | core/printing/pdf | core/export) echo 2 ;;
        core/app | core/app/modes) echo 3 ;;
        ui/platform) echo 4 ;;
        ui/editor | ui/library | ui/printing) echo 5 ;;
        ui/app) echo 6 ;;
        app) echo 7 ;;
        *) echo "unknown folder: $1" >&2; exit 2 ;;
    esac
}

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
cd "$src"
while IFS= read -r file; do
    from=$(dirname "$file")
    lines=$(wc -l < "$file")
    if (( lines > 600 )); then
        echo "$file: $lines lines (at most 600)"
        status=1
    fi
    while IFS= read -r included; do
        to=$(dirname "$included")
        [[ -f "$included" && "$to" != "$from" ]] || continue
        echo "$from $to" >> "$edges"
        if (( $(rank "$to") > $(rank "$from") )); then
            echo "$file includes $included: a higher layer"
            status=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find core ui app -name '*.h' -o -name '*.cpp' | sort)

# The program's own files are named in one place only.
if grep -rnE '"(pyk\.vxd|printsetup\.vxd|normal\.pyn|temp\.vxd|qhsy\.png|r\.(png|svg)|help/|toolbar/)' core ui app \
        | grep -v '^core/platform/programfiles\.'; then
    echo "the lines above name a program file: use ProgramFiles"
    status=1
fi

# tsort names a loop when the folders cannot be put in order.
if ! sort -u "$edges" | tsort > /dev/null 2> "$edges.loop"; then
    echo "include cycle between folders:"
    grep -v '^tsort: -: input contains a loop:$' "$edges.loop" | sed 's/^tsort: /  /'
    status=1
fi
rm -f "$edges.loop"
exit "$status"
