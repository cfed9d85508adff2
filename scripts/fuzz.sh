#!/bin/sh
# Builds the reply fuzzer in build-fuzz/ and runs it for a bounded time.
# Usage: scripts/fuzz.sh [seconds] [extra libFuzzer options...]
# Exits non-zero when the fuzzer finds a crash or a broken property.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-45}
[ $# -gt 0 ] && shift

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DKORVANE_FUZZ=ON >/dev/null
cmake --build "$build" -j2

# New finds go to a scratch folder; the checked-in corpus only seeds the run.
work="$build/corpus"
mkdir -p "$work" "$build/artifacts"
"$build/korvane_fuzz_replies" "$work" "$root/fuzz/corpus" \
    -max_len=8192 -max_total_time="$seconds" -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$@"
