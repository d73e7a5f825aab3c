#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each over its seeds for a while.
#
#   bash fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; TARGET is testfile, rtf, picture, metafile, ole or attempts
# (all by default). FUZZ_BUILD names the build folder (build-fuzz), FUZZ_RUNS
# also stops each target after that many inputs, and FUZZ_EXAMPLES names a
# folder of built example tests to seed from (otherwise they are built in the
# fuzz build). Inputs that reach new
# code collect in fuzz/corpus/TARGET; a finding is written to
# FUZZ_BUILD/findings/TARGET/ and ends the script with a failure. Each run
# starts from the same random seed, so a short run in the test suite is
# repeatable.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(testfile rtf picture metafile ole attempts)
build=${FUZZ_BUILD:-build-fuzz}
shared=../shared/corpus

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVELLA_FUZZ=ON -DCORVELLA_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
fi
examples=${FUZZ_EXAMPLES:-}
if [ -z "$examples" ]; then
  cmake --build "$build" -j "${FUZZ_JOBS:-2}" --target examples
  examples=$examples
fi
cmake --build "$build" -j "${FUZZ_JOBS:-2}" --target $(printf 'fuzz_%s ' "${targets[@]}")

seeds_of() {
  case $1 in
    testfile) echo "$examples $shared" ;;
    rtf) echo "$shared/rtf" ;;
    picture) echo "$examples/pictures $shared/bmp $shared/ico $shared/wmf $shared/emf" ;;
    metafile) echo "fuzz/regressions/picture $examples/pictures $shared/wmf $shared/emf" ;;
    ole) echo "$examples/ole $shared/ole" ;;
    attempts) echo "" ;;
  esac
}

# A finding's stack names its functions only with LLVM's symbolizer, which
# clang's runtime looks for under its unversioned name.
symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)

limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit+=(-runs="$FUZZ_RUNS")

for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  findings=$build/findings/$target
  mkdir -p "$corpus" "$findings"
  folders=()
  for folder in fuzz/regressions/$target $(seeds_of "$target"); do
    [ -d "$folder" ] && folders+=("$folder")
  done
  echo "== fuzz_$target"
  QT_QPA_PLATFORM=offscreen ASAN_SYMBOLIZER_PATH=$symbolizer \
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz_$target" "${limit[@]}" -seed=1 -max_len=262144 -rss_limit_mb=2048 \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "${folders[@]}"
done
