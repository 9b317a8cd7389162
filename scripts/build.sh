#!/usr/bin/env bash
# Configures and builds the release build in build/ and lays out the program folder
# build/program (the executable with its data files beside it).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" --parallel "$(nproc)"
