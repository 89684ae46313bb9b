#!/usr/bin/python3
"""Times the workbook export of one 80000-record measurement against
Debian's python3-xlsxwriter writing the same cells with the same formats,
in the same run (same machine load).

Usage: compare_xlsxwriter.py BUILD/bin/bench_export [REPETITIONS]
Prints the best wall-clock and CPU times of both and the ratio.
"""
import datetime
import json
import os
import struct
import subprocess
import sys
import tempfile
import time

import xlsxwriter

RECORDS = 80000


def f32(value):
    """The shortest decimal of the single-precision value, as the export
    writes it."""
    single = struct.unpack("f", struct.pack("f", value))[0]
    for digits in range(1, 10):
        text = "%.*g" % (digits, single)
        if struct.unpack("f", struct.pack("f", float(text)))[0] == single:
            return float(text)
    return single


def records():
    """The benchmark's sample records: (number, time, [(value or text, letter)])."""
    letters = "KJTE"
    for i in range(RECORDS):
        when = datetime.datetime(2026, 12, 7, i // 3600 % 24, i // 60 % 60, i % 60)
        values = [f32(20.0 + (i % 1000) * f32(0.1)), 65.5, 182.25 - (i % 7), -12.5]
        states = [0, 0, 2 if i % 50 == 0 else 0, 0]
        cells = [("OL" if s == 2 else v, letters[ch])
                 for ch, (v, s) in enumerate(zip(values, states))]
        yield i + 1, when, cells


def write_python(path, rows, constant_memory):
    wb = xlsxwriter.Workbook(path, {"constant_memory": constant_memory})
    ws = wb.add_worksheet("新建测量")
    header = wb.add_format({"align": "center", "valign": "vcenter", "border": 1, "bold": True})
    body = wb.add_format({"align": "center", "valign": "vcenter", "border": 1})
    date = wb.add_format({"align": "left", "border": 1, "num_format": "yyyy/MM/dd hh:mm:ss"})
    value = wb.add_format({"align": "center", "valign": "vcenter", "border": 1,
                           "num_format": "#.0"})
    for col, width in enumerate([8.13, 21.88, 21.88, 18, 21.88, 18, 21.88, 18, 21.88, 18]):
        ws.set_column(col, col, width)
    headers = ["NO.", "time"]
    for n in range(1, 5):
        headers += ["T%d Temperature(℃)" % n, "T%d Thermocouple" % n]
    for col, text in enumerate(headers):
        ws.write_string(0, col, text, header)
    for number, when, cells in rows:
        row = number
        ws.write_number(row, 0, number, body)
        ws.write_datetime(row, 1, when, date)
        for ch, (v, letter) in enumerate(cells):
            if isinstance(v, str):
                ws.write_string(row, 2 + 2 * ch, v, body)
            else:
                ws.write_number(row, 2 + 2 * ch, v, value)
            ws.write_string(row, 3 + 2 * ch, letter, body)
    wb.close()


def time_python(rows, constant_memory, repetitions):
    best_wall = best_cpu = float("inf")
    with tempfile.TemporaryDirectory() as d:
        for _ in range(repetitions):
            wall, cpu = time.perf_counter(), time.process_time()
            write_python(os.path.join(d, "py.xlsx"), rows, constant_memory)
            best_wall = min(best_wall, time.perf_counter() - wall)
            best_cpu = min(best_cpu, time.process_time() - cpu)
    return best_wall, best_cpu


def time_ours(binary, repetitions):
    out = subprocess.run([binary, "--benchmark_filter=BM_Workbook80000$",
                          "--benchmark_repetitions=%d" % repetitions,
                          "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    runs = [b for b in json.loads(out)["benchmarks"] if b.get("run_type") == "iteration"]
    scale = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9, "s": 1.0}[runs[0]["time_unit"]]
    return (min(b["real_time"] for b in runs) * scale, min(b["cpu_time"] for b in runs) * scale)


def main():
    binary = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    rows = list(records())  # the data exists before the timing, as on our side
    ours = time_ours(binary, repetitions)
    py_const = time_python(rows, True, repetitions)
    py_default = time_python(rows, False, repetitions)
    print("xlsxwriter %s, %d records, best of %d" % (xlsxwriter.__version__, RECORDS, repetitions))
    print("%-38s wall %6.3f s  cpu %6.3f s" % ("kx_export (libxlsxwriter)", *ours))
    print("%-38s wall %6.3f s  cpu %6.3f s" % ("python3-xlsxwriter constant_memory", *py_const))
    print("%-38s wall %6.3f s  cpu %6.3f s" % ("python3-xlsxwriter default", *py_default))
    fastest = min(py_const, py_default)
    print("speed-up over the faster python run: wall %.1fx  cpu %.1fx"
          % (fastest[0] / ours[0], min(py_const[1], py_default[1]) / ours[1]))


if __name__ == "__main__":
    main()
