#!/usr/bin/env python3
"""Prints the folders whose sources carry user-visible texts (one per line).

Every top-level folder of the repository is a library or program of ours,
except the ones listed below, which hold no translatable program text.
"""
import os
import sys

NOT_SOURCES = {"build", "tests", "bench", "fuzz", "docs", "translations", "resources",
               "scripts", ".ci", ".git"}


def source_dirs(root):
    dirs = []
    for name in sorted(os.listdir(root)):
        path = os.path.join(root, name)
        if not os.path.isdir(path) or name.startswith(".") or name.startswith("build"):
            continue
        if name in NOT_SOURCES:
            continue
        dirs.append(path)
    return dirs


if __name__ == "__main__":
    for d in source_dirs(sys.argv[1] if len(sys.argv) > 1 else "."):
        print(d)
