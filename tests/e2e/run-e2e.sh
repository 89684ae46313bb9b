#!/usr/bin/env bash
# Runs the end-to-end driver on a virtual X server, connected to a simulated
# instrument, in one interface language.
#   run-e2e.sh <e2e_driver> <en|zh> <screenshot folder>
# Exits 77 (reported as skipped) when there is no virtual X server to run on.
set -euo pipefail
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIPPED: xvfb-run not found; install xvfb and xauth (scripts/setup-deps.sh)"
  exit 77
fi
# The suite's environment asks for the offscreen platform; this run needs X.
export QT_QPA_PLATFORM=xcb
# A bare X server without a desktop session: no session bus for the toolkit
# to look for, and no OpenGL (the program draws none) to probe for. Both
# system libraries keep allocations to the end, which a leak-checking build
# of the suite would report.
export DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_XCB_GL_INTEGRATION=none
exec xvfb-run -a -s "-screen 0 1400x900x24" \
  "$1" --simulate --connect --language "$2" --shots "$3"
