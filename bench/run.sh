#!/usr/bin/env bash
# Runs the document benchmarks of a build folder and prints the load and save
# times of the large test file with their ratios to reading its bytes, all
# taken from the same run.
#
#   bash bench/run.sh BUILD_DIR [benchmark options ...]
#
# Options after the build folder go to corvbench (--benchmark_repetitions=5,
# for example).
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: bash bench/run.sh BUILD_DIR [benchmark options ...]" >&2
  exit 2
fi
build=$1
shift
program=$build/corvbench
if [ ! -x "$program" ]; then
  echo "run.sh: $program is missing; build with CORVELLA_BENCH=ON" >&2
  exit 1
fi

report=$(mktemp --suffix=.json)
trap 'rm -f "$report"' EXIT
"$program" --benchmark_format=json "$@" >"$report"

python3 - "$report" <<'EOF'
import json
import sys

MILLISECONDS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

with open(sys.argv[1]) as f:
    report = json.load(f)

# With repetitions the median stands for a benchmark; without them, its one run.
times = {}
medians = set()
for run in report["benchmarks"]:
    name = run["run_name"].split("/")[0]
    if run.get("error_occurred"):
        sys.exit(f"run.sh: {name} failed: {run.get('error_message', '')}")
    is_median = run["run_type"] == "aggregate" and run.get("aggregate_name") == "median"
    if run["run_type"] == "aggregate" and not is_median:
        continue
    if name in medians:
        continue
    times[name] = run["real_time"] * MILLISECONDS[run["time_unit"]]
    if is_median:
        medians.add(name)

context = report["context"]
size = int(context.get("test_file_bytes", 0))
print(f"test file: {size / 1e6:.1f} MB, {context.get('test_file_pages', '?')} pages, "
      f"{context.get('test_file_objects', '?')} objects")

read = times.get("BM_ReadBytes")
rows = [("read bytes", "BM_ReadBytes"), ("load test", "BM_LoadTest"), ("save test", "BM_SaveTest")]
for label, name in rows:
    if name not in times:
        print(f"{label:<12} (not run)")
        continue
    line = f"{label:<12} {times[name]:9.1f} ms"
    if read and name != "BM_ReadBytes":
        line += f"   {times[name] / read:5.2f} x read"
    print(line)
EOF
