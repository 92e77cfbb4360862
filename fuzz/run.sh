#!/bin/sh
# Builds the JSON fuzzer into the given directory and runs it for a bounded time.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS]. Exits non-zero on any crash or sanitizer report.
set -eu

build_dir=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DSTRATOVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target json_fuzz -- -j2

corpus="$build_dir/json_fuzz_corpus"
mkdir -p "$corpus"
# New inputs go to the first directory; the checked-in seeds are only read.
"$build_dir/fuzz/json_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build_dir/" -print_final_stats=1 "$corpus" "$source_dir/fuzz/corpus"
