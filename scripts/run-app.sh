#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program from build/bin/
# with a simulated instrument, already connected (--simulate --connect), so it
# can be tried without one.
# Extra arguments are handed to the program. Without a display the program
# is started under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
cd build/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" ./kx740d --simulate --connect "$@"
fi
exec ./kx740d --simulate --connect "$@"
