#!/usr/bin/env bash
# Runs the benchmark of `corvtool results` over 10 000 attempt records and
# prints its times with their ratios to reading the records' bytes, all taken
# from the same run.
#
#   bash bench/results.sh BUILD_DIR [benchmark options ...]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: bash bench/results.sh BUILD_DIR [benchmark options ...]" >&2
  exit 2
fi
build=$1
shift
program=$build/corvbenchresults
if [ ! -x "$program" ]; then
  echo "results.sh: $program is missing; build with CORVELLA_BENCH=ON" >&2
  exit 1
fi

report=$(mktemp --suffix=.json)
trap 'rm -f "$report"' EXIT
"$program" --benchmark_format=json "$@" >"$report"

python3 - "$report" <<'PYTHON'
import json
import sys

MILLISECONDS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

with open(sys.argv[1]) as f:
    report = json.load(f)

# The median of the repetitions stands for a benchmark.
times = {}
for run in report["benchmarks"]:
    name = run["run_name"].split("/")[0]
    if run.get("error_occurred"):
        sys.exit(f"results.sh: {name} failed: {run.get('error_message', '')}")
    if run["run_type"] == "aggregate" and run.get("aggregate_name") != "median":
        continue
    times[name] = run["real_time"] * MILLISECONDS[run["time_unit"]]

context = report["context"]
size = int(context.get("folder_bytes", 0))
print(f"folder: {context.get('folder_records', '?')} records, {size / 1e6:.1f} MB")
read = times.get("BM_ReadBytes")
rows = [("read bytes", "BM_ReadBytes"), ("read records", "BM_ReadRecords"),
        ("results+CSV", "BM_Results")]
for label, name in rows:
    if name not in times:
        print(f"{label:<13} (not run)")
        continue
    line = f"{label:<13} {times[name]:9.1f} ms"
    if read and name != "BM_ReadBytes":
        line += f"   {times[name] / read:5.2f} x read"
    print(line)
PYTHON
