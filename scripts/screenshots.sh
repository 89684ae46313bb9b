#!/usr/bin/env bash
# Takes the README's pictures, once with the English and once with the
# Chinese interface, into docs/: the end-to-end run of the program under a
# virtual display, the chart and table of a longer recording, and the first
# page of a PDF report. Needs a build (scripts/build.sh). Run from anywhere.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup-deps.sh"

# The chart and the table after a quarter of an hour of recording (drawn on
# a simulated clock by chartshots, a program built with the tests).
chart() { # <language 0|1> <suffix>
  local work; work="$(mktemp -d)"
  cp "$root"/build/bin/*.qm "$root"/build/bin/cs.qss "$work"/
  (cd "$work" && QT_QPA_PLATFORM=offscreen "$root/build/bin/chartshots" "$1" \
      "$root/docs/chart-$2.png" "$root/docs/table-$2.png" "$work/report.pdf" &&
      pdftoppm -r 60 -f 1 -l 1 -png "$work/report.pdf" "$root/docs/report-$2")
  rm -rf "$work"
}

# The end-to-end run of the real program (tests/e2e): the window connected,
# while recording and after the exports, as docs/e2e-<step>-<en|zh>.png, and
# the settings window's MQTT page as docs/mqtt-page-<en|zh>.png.
e2e() { # <en|zh>
  local shots; shots="$(mktemp -d)"
  KX_SCREENSHOT_DIR="$root/docs" "$root/tests/e2e/run-e2e.sh" \
      "$root/build/bin/e2e_driver" "$1" "$shots" >/dev/null
  rm -rf "$shots"
}

chart 1 en
chart 0 zh
e2e en
e2e zh
echo "written docs/chart-*.png docs/table-*.png docs/report-*.png docs/e2e-*.png docs/mqtt-page-*.png"
