#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j "$(nproc)"
cd ..
# The same suite once more, built with address, leak and undefined-behaviour
# sanitizers; any sanitizer report fails the run.
scripts/run-sanitized-tests.sh
