#!/usr/bin/env bash
# Takes the README's screenshots of the main window under a virtual display,
# connected to the simulated instrument, once with the English and once with
# the Chinese interface, into docs/.
# Needs a build (scripts/build.sh). Run from anywhere.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup-deps.sh"
if ! command -v import >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -qq imagemagick
fi

shoot() { # <language 0|1> <output.png>
  local work; work="$(mktemp -d)"
  # A settings file with the defaults and the chosen language (the logo is
  # left empty: it only shows on the settings page).
  python3 - "$work/config.cfg" "$1" <<'PY'
import struct, sys
def s(text):
    raw = text.encode("utf-16-be")
    return struct.pack(">I", len(raw)) + raw
def colour(r, g, b):
    return struct.pack(">bHHHHH", 1, 0xFFFF, r * 257, g * 257, b * 257, 0)
body = struct.pack(">I", 0) + s("KX740D tester") + s("KX740D") + s("./data/")
body += struct.pack(">ii?", int(sys.argv[2]), 60, True)
for _ in range(4):
    body += struct.pack(">dd?", 100.0, 0.0, False)
body += struct.pack(">????", True, False, False, False)
body += colour(128, 0, 0) + colour(0, 128, 0) + colour(0, 0, 128) + colour(128, 0, 128)
body += struct.pack(">ii", 2, 1)
open(sys.argv[1], "wb").write(struct.pack(">I", len(body)) + body)
PY
  cp "$root"/build/bin/*.qm "$root"/build/bin/cs.qss "$work"/
  (cd "$work" && xvfb-run -a -s "-screen 0 1400x900x24" bash -c "
      '$root/build/bin/kx740d' --simulate --connect & pid=\$!
      sleep 8
      import -window root '$2'
      convert '$2' -bordercolor black -border 1 -trim +repage '$2'
      kill \$pid")
  rm -rf "$work"
}

# The chart and the table after a quarter of an hour of recording (drawn on
# a simulated clock by chartshots, a program built with the tests).
chart() { # <language 0|1> <suffix>
  local work; work="$(mktemp -d)"
  cp "$root"/build/bin/*.qm "$root"/build/bin/cs.qss "$work"/
  (cd "$work" && QT_QPA_PLATFORM=offscreen "$root/build/bin/chartshots" "$1" \
      "$root/docs/chart-$2.png" "$root/docs/table-$2.png")
  rm -rf "$work"
}

shoot 1 "$root/docs/mainwindow-en.png"
shoot 0 "$root/docs/mainwindow-zh.png"
chart 1 en
chart 0 zh
echo "written docs/mainwindow-*.png docs/chart-*.png docs/table-*.png"
