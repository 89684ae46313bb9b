#!/usr/bin/env bash
# Refreshes the .ts sources from the program's texts. New texts appear as
# unfinished entries; translate them (Qt Linguist or an editor) before
# committing: the test suite fails while any English entry is unfinished.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t dirs < <(python3 tests/translations/source_dirs.py .)
lupdate -I . -locations relative -no-obsolete "${dirs[@]}" -ts translations/KX740D_EN.ts translations/ZH.ts
