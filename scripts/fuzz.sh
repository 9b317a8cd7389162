#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and fuzzes each of them in turn, the
# comment-file reader, the comment library, the print layouts, line breaking, the spreadsheet
# reader and the ratings reader with the drafting, for the given number of seconds (default 30) each, starting from the test files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
cmake -S "$top" -B "$top/build-fuzz" -DQHSY_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$top/build-fuzz" --parallel "$(nproc)" --target fuzz_commentfile fuzz_commentlibrary \
    fuzz_layoutscheme fuzz_composition fuzz_spreadsheet fuzz_drafts
artifacts="$top/build-fuzz/artifacts/"
mkdir -p "$artifacts"

# fuzz TARGET LOG TIMEOUT SEED...: fuzzes one target from its own corpus, seeded with the
# given files; an input that runs longer than TIMEOUT seconds is a failure.
fuzz() {
    local target=$1 log=$2 timeout=$3
    shift 3
    local corpus="$top/build-fuzz/corpus/${target#fuzz_}"
    mkdir -p "$corpus"
    cp -n "$@" "$corpus/" 2>/dev/null || true
    # Leak checks stay on; the limits make a hang or unbounded memory a failure. Every run
    # starts from the same random seed, so that what a clean checkout finds is found again.
    local status=0
    "$top/build-fuzz/fuzz/$target" "$corpus" -seed=1 \
        -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$artifacts" -print_final_stats=1 > "$log" 2>&1 || status=$?
    if [[ $status -ne 0 ]]; then
        grep -v '^#' "$log" | tail -n 60
        echo "Fuzzing $target failed; the input is in $artifacts" >&2
    else
        echo "== $target"
        grep -E "^(Done|stat::)" "$log" || tail -n 6 "$log"
    fi
    return "$status"
}

fuzz fuzz_commentfile "$top/build-fuzz/fuzz.log" 10 \
    "$top"/tests/data/*.py "$top/data/normal.pyn" "$top"/fuzz/seeds/*
fuzz fuzz_commentlibrary "$top/build-fuzz/fuzz-library.log" 10 \
    "$top/data/pyk.vxd" "$top"/tests/data/library/*.vxd
fuzz fuzz_layoutscheme "$top/build-fuzz/fuzz-layout.log" 10 \
    "$top/data/printsetup.vxd" "$top"/tests/data/printing/*.vxd
# Line breaking must stay quick for every text: a slow input fails within 2 seconds.
fuzz fuzz_composition "$top/build-fuzz/fuzz-composition.log" 2 "$top"/fuzz/composition-seeds/*
# A class list, however hostile, is read within 2 seconds too.
fuzz fuzz_spreadsheet "$top/build-fuzz/fuzz-spreadsheet.log" 2 \
    "$top"/tests/data/spreadsheet/*.xlsx "$top"/tests/data/spreadsheet/*.ods "$top"/fuzz/spreadsheet-seeds/*
# A ratings file and a library give their drafts within 2 seconds.
fuzz fuzz_drafts "$top/build-fuzz/fuzz-drafts.log" 2 "$top"/fuzz/drafts-seeds/*
