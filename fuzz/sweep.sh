#!/usr/bin/env bash
# Opens every truncation and every single-byte corruption of test files under
# AddressSanitizer and UndefinedBehaviorSanitizer, as `corvtool check` and as
# the player open them, and reports how they ended and the slowest open.
#
#   bash fuzz/sweep.sh [FILE...]
#
# FILE defaults to the example test. SWEEP_BUILD names the sanitizer build
# folder (build-asan, configured as `make test-asan` does), SWEEP_JOBS how many
# processes share the positions (the number of cores), SWEEP_STRIDE takes
# every N-th position only (1). Each process's report is kept in
# SWEEP_BUILD/sweep/; the script fails when any variant neither opened nor
# gave an opening error.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SWEEP_BUILD:-build-asan}
jobs=${SWEEP_JOBS:-$(nproc)}
stride=${SWEEP_STRIDE:-1}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVELLA_SANITIZE=ON \
    -DCORVELLA_BENCH=OFF
fi
cmake --build "$build" -j "$jobs" --target corvsweep examples
files=("$@")
[ ${#files[@]} -eq 0 ] && files=("$build/examples/Demo.cvl")

reports=$build/sweep
rm -rf "$reports"
mkdir -p "$reports"
pids=()
for ((part = 0; part < jobs; part++)); do
  QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/corvsweep" --stride "$stride" --part "$part/$jobs" "${files[@]}" \
    >"$reports/part$part.out" 2>"$reports/part$part.err" &
  pids+=($!)
done
failed=0
for ((part = 0; part < jobs; part++)); do
  if ! wait "${pids[$part]}"; then
    failed=1
    echo "== part $part/$jobs failed:"
    tail -n 40 "$reports/part$part.err"
  fi
  echo "== part $part/$jobs"
  cat "$reports/part$part.out"
done
exit $failed
