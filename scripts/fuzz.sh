#!/bin/sh
# Builds the fuzzers in build-fuzz/ and runs them within one bounded time:
# two fifths for the reply fuzzer, a fifth each for the list-format, data-file
# and master-list fuzzers.
# Usage: scripts/fuzz.sh [seconds] [extra libFuzzer options...]
# Exits non-zero when a fuzzer finds a crash or a broken property.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-45}
[ $# -gt 0 ] && shift
reply_seconds=$((seconds * 2 / 5))
[ "$reply_seconds" -lt 1 ] && reply_seconds=1
format_seconds=$((seconds / 5))
[ "$format_seconds" -lt 1 ] && format_seconds=1
master_seconds=$((seconds / 5))
[ "$master_seconds" -lt 1 ] && master_seconds=1
data_seconds=$((seconds - reply_seconds - format_seconds - master_seconds))
[ "$data_seconds" -lt 1 ] && data_seconds=1

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DKORVANE_FUZZ=ON >/dev/null
cmake --build "$build" -j2

# New finds go to scratch folders; the checked-in corpora only seed the runs.
mkdir -p "$build/corpus" "$build/corpus-formats" "$build/corpus-data" "$build/corpus-master" "$build/artifacts"
"$build/korvane_fuzz_replies" "$build/corpus" "$root/fuzz/corpus" \
    -max_len=8192 -max_total_time="$reply_seconds" -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$@"
"$build/korvane_fuzz_formats" "$build/corpus-formats" "$root/fuzz/corpus-formats" \
    -max_len=4096 -max_total_time="$format_seconds" -artifact_prefix="$build/artifacts/formats-" \
    -print_final_stats=1 "$@"
"$build/korvane_fuzz_data" "$build/corpus-data" "$root/fuzz/corpus-data" \
    -max_len=4096 -max_total_time="$data_seconds" -artifact_prefix="$build/artifacts/data-" \
    -print_final_stats=1 "$@"
"$build/korvane_fuzz_master" "$build/corpus-master" "$root/fuzz/corpus-master" \
    -max_len=8192 -max_total_time="$master_seconds" -artifact_prefix="$build/artifacts/master-" \
    -print_final_stats=1 "$@"
