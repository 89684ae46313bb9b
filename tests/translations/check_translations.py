#!/usr/bin/env python3
"""Fails when a user-visible text of the program lacks a finished translation.

Runs lupdate over the program's sources into a scratch copy of each committed
.ts file (lupdate merges the existing translations) and inspects the result:
every current entry must carry a finished, non-empty translation; an English
translation must not still be the Chinese source; a Chinese source keeps its
own text in the Chinese file; and the %1-style place markers of the source
must all reappear in the translation.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from source_dirs import source_dirs  # noqa: E402

CJK = re.compile(r"[\u3400-\u9fff\uff00-\uffef\u3000-\u303f]")
LATIN = re.compile(r"[A-Za-z]")
MARKER = re.compile(r"%L?\d")


def problems_in(ts_path, english):
    problems = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        ctx = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            tr = message.find("translation")
            kind = tr.get("type") if tr is not None else None
            if kind in ("obsolete", "vanished"):
                continue
            where = f"{ctx}: {source!r}"
            # A text with a count (%n) has one form per plural form of the
            # language; each must be there.
            if tr is not None and message.get("numerus") == "yes":
                forms = [f.text or "" for f in tr.findall("numerusform")]
            else:
                forms = [(tr.text or "") if tr is not None else ""]
            if tr is None or kind == "unfinished" or not all(forms):
                problems.append(f"untranslated  {where}")
                continue
            for text in forms:
                if sorted(MARKER.findall(source)) != sorted(MARKER.findall(text)):
                    problems.append(f"place markers differ  {where} -> {text!r}")
                if english and CJK.search(text) and not LATIN.search(text):
                    problems.append(f"still Chinese  {where} -> {text!r}")
                # The program's own texts are Chinese already: the Chinese
                # file only confirms them, so any other text there is a slip.
                if not english and CJK.search(source) and text != source:
                    problems.append(f"Chinese text changed  {where} -> {text!r}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lupdate", default="lupdate")
    parser.add_argument("--root", required=True)
    parser.add_argument("ts", nargs="+")
    args = parser.parse_args()

    dirs = source_dirs(args.root)
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        for ts in args.ts:
            scratch = os.path.join(tmp, os.path.basename(ts))
            shutil.copy(ts, scratch)
            run = subprocess.run([args.lupdate, "-silent", "-I", args.root, *dirs, "-ts", scratch],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                print(run.stdout, run.stderr)
                failures.append(f"lupdate failed on {ts}")
                continue
            english = "_EN" in os.path.basename(ts)
            for p in problems_in(scratch, english):
                failures.append(f"{os.path.basename(ts)}: {p}")
    for f in failures:
        print(f)
    print(f"{len(failures)} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
