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
artifacts="$top/build-fuzz/artifacts/"
mkdir -p "$corpus" "$artifacts"
cp -n "$top"/tests/data/*.py "$top/data/normal.pyn" "$top"/fuzz/seeds/* "$corpus/" 2>/dev/null || true
# Leak checks stay on; the limits make a hang or unbounded memory a failure.
"$top/build-fuzz/fuzz/fuzz_commentfile" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$artifacts" -print_final_stats=1 > "$top/build-fuzz/fuzz.log" 2>&1 \
    && status=0 || status=$?
if [[ $status -ne 0 ]]; then
    grep -v '^#' "$top/build-fuzz/fuzz.log" | tail -n 60
    echo "Fuzzing failed; the input is in $artifacts" >&2
else
    tail -n 6 "$top/build-fuzz/fuzz.log"
fi
exit "$status"
