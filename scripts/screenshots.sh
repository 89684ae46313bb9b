#!/usr/bin/env bash
# Takes the README's screenshots of the main window under a virtual display,
# once with the English and once with the Chinese interface, into docs/.
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
  # A settings file holding only the language field is enough: every other
  # field falls back to its default.
  python3 - "$work/config.cfg" "$1" <<'PY'
import struct, sys
lang = int(sys.argv[2])
content = struct.pack(">I", 0) + struct.pack(">I", 0xFFFFFFFF) * 3 + struct.pack(">i", lang)
open(sys.argv[1], "wb").write(struct.pack(">I", len(content)) + content)
PY
  cp "$root"/build/bin/*.qm "$root"/build/bin/cs.qss "$work"/
  (cd "$work" && xvfb-run -a -s "-screen 0 1400x900x24" bash -c "
      '$root/build/bin/kx740d' & pid=\$!
      sleep 4
      import -window root '$2'
      convert '$2' -bordercolor black -border 1 -trim +repage '$2'
      kill \$pid")
  rm -rf "$work"
}

shoot 1 "$root/docs/mainwindow-en.png"
shoot 0 "$root/docs/mainwindow-zh.png"
echo "written docs/mainwindow-en.png docs/mainwindow-zh.png"
