#!/usr/bin/env bash
# Start-up time of the player against a bare Qt program, measured in the same
# run on the same X display, from process start until the first page has been
# painted:
#   corvview on a 100-page test of 20 objects a page;
#   corvview on a 200-page test with a picture on every page, half of them
#   bitmaps and half Windows metafiles, about 50 MB;
# against corvbarewindow, which shows one maximised window and quits after its
# first paint.
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

# The picture test: a 24-bit bitmap of 300 x 280 and a placeable Windows
# metafile of polylines, each about 250 kB, taking turns page by page.
python3 - "$work" <<'PY'
import json, os, struct, sys
work = sys.argv[1]
width, height = 300, 280
row = bytearray()
for x in range(width):
    row += bytes(((x * 7) % 256, (x * 3) % 256, 200))
row += bytes((-len(row)) % 4)
pixels = b"".join(bytes(row) for _ in range(height))
bitmap = (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
          struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0) +
          pixels)
open(os.path.join(work, "picture.bmp"), "wb").write(bitmap)

def record(function, parameters):
    return struct.pack("<IH", 3 + len(parameters) // 2, function) + parameters
records = [record(0x020B, struct.pack("<hh", 0, 0)), record(0x020C, struct.pack("<hh", 1000, 1000))]
records.append(record(0x02FA, struct.pack("<HhhI", 0, 1, 0, 0x00804020)))  # pen
records.append(record(0x012D, struct.pack("<H", 0)))
points = 60
while sum(len(r) for r in records) < 250_000:
    n = len(records)
    coords = b"".join(struct.pack("<hh", (i * 16 + n) % 1000, (i * 37 + n * 5) % 1000)
                      for i in range(points))
    records.append(record(0x0325, struct.pack("<h", points) + coords))  # polyline
body = b"".join(records) + struct.pack("<IH", 3, 0)
header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 1,
                     max(len(r) for r in records) // 2, 0)
placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 1000, 1000, 96, 0)
checksum = 0
for i in range(10):
    checksum ^= struct.unpack_from("<H", placeable, 2 * i)[0]
open(os.path.join(work, "picture.wmf"), "wb").write(placeable + struct.pack("<H", checksum) +
                                                    header + body)

font = {"Name": "Arial", "Height": -40, "Charset": 238, "Color": 0, "Style": 0}
pages = []
for p in range(200):
    metafile = p % 2 == 1
    objects = [
        {"class": "TQZPanelBesedilo", "Text": f"Picture {p + 1}", "TextPosition": 1,
         "Height": 120, "Font": dict(font, Height=-64, Style=1)},
        {"class": "TQZSlika", "Left": 300, "Top": 200, "Width": 1400, "Height": 1000,
         "Stretch": 1, "PictureKind": 1 if metafile else 0,
         "payload": {"file": "picture.wmf" if metafile else "picture.bmp"}},
        {"class": "TQZGumb", "Left": 1600, "Top": 1350, "Width": 350, "Height": 120,
         "Caption": "Forward", "ButtonKind": 0, "Font": font},
    ]
    pages.append({"pageName": f"Page {p + 1}", "objects": objects})
json.dump({"format": "cvl", "test": {"title": "Pictures benchmark"}, "pages": pages},
          open(os.path.join(work, "pictures.json"), "w"))
PY
"$build/corvtool" pack "$work/pictures.json" -o "$work/pictures.cvl"

python3 - "$build" "$work/large.cvl" "$work/pictures.cvl" "$runs" "$work/results" <<'PY'
import os, statistics, subprocess, sys, time
build, large, pictures, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
print(f"picture test: {os.path.getsize(pictures) / 1e6:.1f} MB")
env = dict(os.environ, CORVELLA_QUIT_WHEN_SHOWN="1")
commands = {
    "bare window": [os.path.join(build, "corvbarewindow")],
    "corvview": [os.path.join(build, "corvview"), large],
    "pictures": [os.path.join(build, "corvview"), pictures],
}
times = {name: [] for name in commands}
for run in range(runs + 1):
    for name, command in commands.items():
        # Each run is recorded as a student's would be, into a folder of its
        # own: a run quit when shown leaves its attempt unfinished, and the
        # next one in the same folder would ask to resume it.
        env["CORVELLA_RESULTS"] = os.path.join(sys.argv[5], f"{run}-{name}")
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if run > 0:  # the first round only warms the caches
            times[name].append((time.perf_counter() - start) * 1000)
for name, values in times.items():
    print(f"{name:<12} median {statistics.median(values):7.1f} ms  "
          f"(min {min(values):.1f}, max {max(values):.1f}, {len(values)} runs)")
bare = statistics.median(times["bare window"])
print(f"corvview, 100 pages / bare window: {statistics.median(times['corvview']) / bare:.2f}")
print(f"corvview, 200 pictures / bare window: {statistics.median(times['pictures']) / bare:.2f}")
PY
