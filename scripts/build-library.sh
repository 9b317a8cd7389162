#!/usr/bin/env bash
# Builds the shipped stock-comment library data/pyk.vxd (GB18030, CR LF) from its UTF-8 sources,
# one file a category: tools/library/<category>.txt, written exactly as the library's lines
# ("*!*类别之" name, TAB "*!*" name + 好/中/差, TAB TAB comment). The sources are what gets
# edited and reviewed; the .vxd is generated and committed beside them (a test checks that the
# two agree).
#
#   scripts/build-library.sh            rebuild data/pyk.vxd
#   scripts/build-library.sh --check    only report whether data/pyk.vxd is up to date (exit 1 if not)
#
# Needs bash, awk, sed, cmp and iconv. Running it again gives the same bytes.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sources="$root/tools/library"
target="$root/data/pyk.vxd"

# The order the teacher sees the categories in: the rating categories, then the opening and the
# closing, then the connectives the drafts are joined with.
order=(学习态度 课堂表现 作业完成 纪律 品德修养 劳动 体育与健康 团结友爱 兴趣特长 卫生习惯
       阅读与积累 集体荣誉 总评 寄语 衔接语)

fail() { echo "build-library: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Every source must be listed, and every listed category must have its source.
for file in "$sources"/*.txt; do
    name=$(basename "$file" .txt)
    listed=0
    for category in "${order[@]}"; do [[ $category == "$name" ]] && listed=1; done
    (( listed )) || fail "tools/library/$name.txt is not in the category order of this script"
done

for category in "${order[@]}"; do
    file="$sources/$category.txt"
    [[ -f $file ]] || fail "missing tools/library/$category.txt"
    # Drop CRs, make sure the last line has its newline, then check the shape: the category
    # line, its three sections in the order 好 中 差, comment lines only inside a section.
    sed -e 's/\r$//' -e '$a\' "$file" | awk -v cat="$category" -v src="tools/library/$category.txt" '
        function die(msg) { printf("build-library: %s line %d: %s\n", src, NR, msg) > "/dev/stderr"; bad = 1; exit 1 }
        BEGIN { split("好 中 差", L, " "); nsec = 0 }
        NR == 1 { if ($0 != "*!*类别之" cat) die("the first line must be *!*类别之" cat); print; next }
        /^\t\*!\*/ {
            nsec++
            if (nsec > 3 || $0 != "\t*!*" cat L[nsec]) die("expected the section line *!*" cat L[nsec])
            print; next
        }
        /^\t\t[^\t ]/ {
            if (nsec == 0) die("a comment before the first section")
            if (index(substr($0, 3), "*!*") > 0) die("a comment may not hold *!*")
            print; next
        }
        { die("neither a section line nor a TAB TAB comment line") }
        END { if (!bad && nsec != 3) { NR = NR; die("the sections 好, 中 and 差 are needed") } }
    ' >> "$tmp/pyk.utf8" || exit 1
done

iconv -f UTF-8 -t GBK "$tmp/pyk.utf8" > /dev/null 2>&1 || fail "a comment holds a character that GBK cannot encode"
sed -e 's/$/\r/' "$tmp/pyk.utf8" | iconv -f UTF-8 -t GB18030 > "$tmp/pyk.vxd"

if [[ ${1-} == --check ]]; then
    cmp -s "$tmp/pyk.vxd" "$target" || fail "data/pyk.vxd differs from tools/library: run scripts/build-library.sh"
    exit 0
fi
mv -f "$tmp/pyk.vxd" "$target"
echo "build-library: wrote data/pyk.vxd"
