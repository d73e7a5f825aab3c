#!/usr/bin/env bash
# Start-up time of the player against a bare Qt program, measured in the same
# run on the same X display:
#   corvview on a 100-page test of 20 objects a page, from process start until
#   its first page has been painted, against corvbarewindow, which shows one
#   maximised window and quits after its first paint.
#
#   bash bench/startup.sh BUILD_DIR [RUNS]
#
# Uses $DISPLAY when set; otherwise starts Xvfb (1024x768) with openbox.
set -euo pipefail

build=${1:?usage: bash bench/startup.sh BUILD_DIR [RUNS]}
runs=${2:-15}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:97
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
  fi
fi
unset QT_QPA_PLATFORM

# The test: every page holds a title, a question of each kind, texts and buttons.
python3 - "$work/large.json" <<'PY'
import json, sys
font = {"Name": "Arial", "Height": -40, "Charset": 238, "Color": 0, "Style": 0}
pages = []
for p in range(100):
    objects = [{"class": "TQZPanelBesedilo", "Text": f"Page {p + 1}", "TextPosition": 1,
                "Height": 120, "Font": dict(font, Height=-64, Style=1)}]
    for i in range(4):
        objects.append({"class": "TQZBesedilo", "Left": 100, "Top": 200 + i * 60,
                        "Width": 800, "Height": 50, "Text": f"Line {i + 1} of the text",
                        "Font": font})
    objects.append({"class": "TQZIzbire", "Left": 1000, "Top": 200, "Width": 900,
                    "QuestionText": "Which is right?", "ChoiceCount": 4,
                    "Choices": ["One", "Two", "Three", "Four", "", ""], "CorrectSet": [2],
                    "QuestionFont": font, "ChoiceFont": font})
    objects.append({"class": "TQZIzbire", "Left": 1000, "Top": 700, "Width": 900,
                    "QuestionText": "Which are right?", "SingleAnswer": False,
                    "ChoiceCount": 5, "Choices": ["A", "B", "C", "D", "E", ""],
                    "CorrectSet": [1, 3], "QuestionFont": font, "ChoiceFont": font})
    objects.append({"class": "TQZDaNe", "Left": 100, "Top": 600, "Width": 600})
    objects.append({"class": "TQZVnosnoOkno", "Left": 100, "Top": 800, "Width": 600,
                    "Answers": ["", "yes", "", "", "", ""], "Font": font})
    for i in range(6):
        objects.append({"class": "TQZPanelBesedilo", "Left": 100 + i * 250, "Top": 1000,
                        "Width": 230, "Height": 100, "Text": f"Note {i + 1}", "Font": font})
    for i, kind in enumerate([0, 1, 2, 3, 4]):
        objects.append({"class": "TQZGumb", "Left": 100 + i * 380, "Top": 1350, "Width": 350,
                        "Height": 120, "Caption": ["Forward", "Back", "Confirm", "Page", "Exit"][i],
                        "ButtonKind": kind, "TargetPage": "Page 1", "Font": font})
    assert len(objects) == 20
    pages.append({"pageName": f"Page {p + 1}", "objects": objects})
json.dump({"format": "cvl", "test": {"title": "Start-up benchmark"}, "pages": pages},
          open(sys.argv[1], "w"))
PY
"$build/corvtool" pack "$work/large.json" -o "$work/large.cvl"

python3 - "$build" "$work/large.cvl" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
build, test, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
env = dict(os.environ, CORVELLA_QUIT_WHEN_SHOWN="1")
commands = {
    "bare window": [os.path.join(build, "corvbarewindow")],
    "corvview": [os.path.join(build, "corvview"), test],
}
times = {name: [] for name in commands}
for run in range(runs + 1):
    for name, command in commands.items():
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if run > 0:  # the first round only warms the caches
            times[name].append((time.perf_counter() - start) * 1000)
for name, values in times.items():
    print(f"{name:<12} median {statistics.median(values):7.1f} ms  "
          f"(min {min(values):.1f}, max {max(values):.1f}, {len(values)} runs)")
ratio = statistics.median(times["corvview"]) / statistics.median(times["bare window"])
print(f"corvview / bare window: {ratio:.2f}")
PY
