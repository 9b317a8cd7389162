#!/usr/bin/env bash
# Builds the program's shipped text data files from their UTF-8 sources:
#
#   tools/library/*.txt          -> data/pyk.vxd          (GB18030, CR LF; scripts/build-library.sh)
#   tools/datagen/printsetup.txt  -> data/printsetup.vxd   (GB18030, CR LF)
#
# Needs only bash, awk, sed and iconv. Running it again gives the same bytes.
# Every generated line, the last one included, ends with exactly one CR LF.
# The help page data/help/indexhelp.htm is edited in place: it is UTF-8 HTML already.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/data"
mkdir -p "$out"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() { echo "make-data: $*" >&2; exit 1; }

# Normalise a UTF-8 source: drop CRs, make sure the last line has a newline.
normalise() { sed -e 's/\r$//' -e '$a\' "$1"; }

# LF text on stdin -> CR LF text on stdout.
crlf() { sed -e 's/$/\r/'; }

# Text must survive a round trip through GBK (the code page the files are read in).
check_gbk() {
    iconv -f UTF-8 -t GBK "$1" > /dev/null 2>&1 || fail "$2 holds a character that GBK cannot encode"
}

# ---------------------------------------------------------------- pyk.vxd
# The stock-comment library has its own sources, one file a category, in tools/library.
"$root/scripts/build-library.sh" > /dev/null

# --------------------------------------------------------- printsetup.vxd
# Source lines starting with # are notes for the author and are left out;
# everything else is copied as it stands. Each block is checked for its
# thirteen lines in the fixed key order; a block may add, before its *!*, the
# four lines of the heading and then the four of the date, each group whole.
normalise "$here/printsetup.txt" | sed -e '/^#/d' > "$tmp/ps.utf8"
awk '
    function die(msg) { printf("make-data: printsetup.txt block %d: %s\n", nb, msg) > "/dev/stderr"; bad = 1; exit 1 }
    BEGIN {
        split("paperheight paperwidth studentleft studenttop pytextleft pytexttop pytextheight pytextwidth pytextjuli teacherleft teachertop", K, " ")
        split("titleleft titletop titletext titlefont dateleft datetop datetext datefont", O, " ")
        state = 0; nb = 0
    }
    state == 0 && /^$/ { next }
    state == 0 {
        nb++
        if ($0 !~ /^name=./) die("block must start with name=")
        state = 1; next
    }
    state >= 1 && state <= 11 {
        if (index($0, K[state] "=") != 1 || length($0) == length(K[state]) + 1) die("expected " K[state] "=<value>, got " $0)
        state++; o = 0; next
    }
    state == 12 && $0 != "*!*" {
        # The next line of the group begun, or the first line of a later group.
        j = o + 1
        if (o % 4 == 0 && index($0, O[j] "=") != 1 && j + 4 <= 8) j += 4
        if (j > 8 || index($0, O[j] "=") != 1 || length($0) == length(O[j]) + 1) die("unexpected line " $0)
        for (k = 1; k <= 11; k++) if (index($0, K[k]) > 0) die("a line may not hold the key " K[k])
        if (index($0, "name=") > 0) die("a value line may not hold name=")
        o = j; next
    }
    state == 12 {
        if (o % 4 != 0) die("heading and date need all four lines each")
        state = 0; next
    }
    END {
        if (bad) exit 1
        if (state != 0) die("unfinished block")
        if (nb < 1) { nb = 1; die("no scheme") }
    }
' "$tmp/ps.utf8" || fail "printsetup.txt is not valid"

check_gbk "$tmp/ps.utf8" printsetup.txt
crlf < "$tmp/ps.utf8" | iconv -f UTF-8 -t GB18030 > "$tmp/printsetup.vxd"
mv -f "$tmp/printsetup.vxd" "$out/printsetup.vxd"


echo "make-data: wrote data/pyk.vxd, data/printsetup.vxd"
