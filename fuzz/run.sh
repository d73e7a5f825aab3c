#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each over its seed corpus.
#
#   bash fuzz/run.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVELLA_FUZZ=ON -DCORVELLA_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
fi
cmake --build "$build" --target corvtool fuzz_testfile

# Seeds: the example tests and small files of every object kind.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
cmake --build "$build" --target examples
cp "$build"/examples/*.cvl "$seeds"/ 2>/dev/null || true
corpus=fuzz/corpus/testfile
mkdir -p "$corpus"

ASAN_OPTIONS=detect_leaks=1 "$build/fuzz_testfile" -max_total_time="$seconds" -max_len=65536 \
  -rss_limit_mb=2048 -timeout=10 "$corpus" "$seeds"
