#!/bin/sh
# Builds the JSON, RTF and Open-Meteo fuzzers into the given directory and runs each for a
# bounded time.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS [TARGETS]]. SECONDS is per target (default 60);
# TARGETS is "json rtf openmeteo" by default. Exits non-zero on any crash or sanitizer report.
set -eu

build_dir=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS [TARGETS]]}
seconds=${2:-60}
targets=${3:-json rtf openmeteo}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DSTRATOVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

for target in $targets; do
  case $target in
    json) seeds="$source_dir/fuzz/corpus" options= ;;
    rtf) seeds="$source_dir/fuzz/rtf_corpus" options="-dict=$source_dir/fuzz/rtf.dict" ;;
    openmeteo) seeds="$source_dir/fuzz/openmeteo_corpus" options= ;;
    *) echo "fuzz/run.sh: no fuzzer named $target" >&2; exit 2 ;;
  esac
  cmake --build "$build_dir" --target "${target}_fuzz" -- -j2
  corpus="$build_dir/${target}_fuzz_corpus"
  mkdir -p "$corpus"
  # New inputs go to the first directory; the checked-in seeds are only read.
  # shellcheck disable=SC2086
  "$build_dir/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build_dir/${target}-" -print_final_stats=1 $options "$corpus" "$seeds"
done
