#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and fuzzes the comment-file reader
# for the given number of seconds (default 30), starting from the test files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
cmake -S "$top" -B "$top/build-fuzz" -DQHSY_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$top/build-fuzz" --parallel "$(nproc)" --target fuzz_commentfile
corpus="$top/build-fuzz/corpus/commentfile"
mkdir -p "$corpus"
cp -n "$top"/tests/data/*.py "$top/data/normal.pyn" "$corpus/" 2>/dev/null || true
# Leak checks stay on; the limits make a hang or unbounded memory a failure.
"$top/build-fuzz/fuzz/fuzz_commentfile" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
