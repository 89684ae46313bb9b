#!/usr/bin/env python3
"""Reads the exports back with readers we did not write.

Usage: check_exports.py EXPORT_SAMPLES KX740D_EXPORT
Runs export_samples into a temporary folder, checks its workbooks with
openpyxl, its report with pdftotext/pdfinfo and its CSV with the csv module,
then runs the converter on the sample data file.
"""
import csv
import datetime
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
import unittest

import openpyxl

SAMPLES, CONVERTER = sys.argv[1], sys.argv[2]
OUT = tempfile.mkdtemp(prefix="kx_export_")


def path(name):
    return os.path.join(OUT, name)


def pdf_text(name, *args):
    """The report's text; the compatibility forms some CJK fonts map their
    glyphs back to (the radical ⽂ for 文) are folded to the usual ones."""
    out = subprocess.run(["pdftotext", "-enc", "UTF-8", *args, path(name), "-"],
                         check=True, capture_output=True, text=True).stdout
    return unicodedata.normalize("NFKC", out).replace("°F", "℉").replace("°C", "℃")


def pdf_info(name):
    out = subprocess.run(["pdfinfo", path(name)], check=True, capture_output=True,
                         text=True).stdout
    return dict(line.split(":", 1) for line in out.splitlines() if ":" in line)


def excel_pixels(characters):
    """Pixels of a column `characters` wide, as Excel converts a typed width
    (7-pixel digits, 5 pixels of padding)."""
    return int(characters * 7 + 0.5) + 5


HEADERS_C = ["NO.", "time", "T1 Temperature(℃)", "T1 Thermocouple", "T2 Temperature(℃)",
             "T2 Thermocouple", "T3 Temperature(℃)", "T3 Thermocouple", "T4 Temperature(℃)",
             "T4 Thermocouple"]


class Workbook(unittest.TestCase):
    def test_sheets_headers_and_widths(self):
        wb = openpyxl.load_workbook(path("names.xlsx"))
        self.assertEqual(wb.sheetnames, ["新建测量", "新建测量(2)", "新建测量(3)"])
        for ws in wb.worksheets:
            self.assertEqual([c.value for c in ws[1]], HEADERS_C)
            for cell in ws[1]:
                self.assertTrue(cell.font.b)
                self.assertEqual(cell.alignment.horizontal, "center")
                self.assertEqual(cell.alignment.vertical, "center")
                self.assertEqual(cell.border.left.style, "thin")
            for letter, width in zip("ABCDEFGHIJ",
                                     [8.13, 21.88, 21.88, 18, 21.88, 18, 21.88, 18, 21.88, 18]):
                self.assertEqual(round(ws.column_dimensions[letter].width * 7),
                                 excel_pixels(width), letter)
        # A measurement without records: the header row only.
        self.assertEqual(wb.worksheets[1].max_row, 1)
        self.assertEqual(wb.worksheets[2].max_row, 2)

    def test_cells_and_formats(self):
        ws = openpyxl.load_workbook(path("names.xlsx")).worksheets[0]
        self.assertEqual(ws.max_row, 4)
        self.assertEqual([ws.cell(r, 1).value for r in (2, 3, 4)], [1, 2, 3])
        date = ws["B2"]
        self.assertEqual(date.value, datetime.datetime(2024, 3, 5, 14, 5, 9))
        self.assertEqual(date.number_format, "yyyy/MM/dd hh:mm:ss")
        self.assertEqual(date.alignment.horizontal, "left")
        self.assertEqual(date.border.top.style, "thin")
        self.assertEqual([ws[c].value for c in ("C2", "E2", "G2", "I2")],
                         [25.3, -10.5, 100, 1200.5])
        self.assertEqual([ws[c].value for c in ("D2", "F2", "H2", "J2")], ["K", "J", "T", "E"])
        self.assertEqual([ws[c].value for c in ("D3", "F3", "H3", "J3")], ["R", "S", "N", "B"])
        value = ws["C2"]
        self.assertEqual(value.number_format, "#.0")
        self.assertEqual(value.alignment.horizontal, "center")
        self.assertFalse(value.font.b)
        # State 2 on T3: the text OL in G, numbers in C, E and I.
        self.assertEqual(ws["G3"].value, "OL")
        for c in ("C3", "E3", "I3"):
            self.assertIsInstance(ws[c].value, (int, float), c)
        self.assertEqual(ws["G3"].number_format, "General")
        self.assertFalse(ws["G3"].font.b)
        self.assertEqual(ws["C4"].value, "-OL")
        self.assertEqual(ws["E4"].value, "--\\--")
        self.assertIn(ws["J4"].value, (None, ""))  # type code 9 has no letter

    def test_kelvin(self):
        ws = openpyxl.load_workbook(path("kelvin.xlsx")).worksheets[0]
        for c in ("C1", "E1", "G1", "I1"):
            self.assertTrue(ws[c].value.endswith("(K)"), ws[c].value)
        self.assertAlmostEqual(ws["C2"].value, 298.45, places=3)

    def test_long_measurement_continues_on_further_sheets(self):
        wb = openpyxl.load_workbook(path("split.xlsx"))
        self.assertEqual(wb.sheetnames, ["A", "A(2)", "A(3)"])
        numbers = []
        for ws in wb.worksheets:
            self.assertEqual(ws["A1"].value, "NO.")
            numbers.append([ws.cell(r, 1).value for r in range(2, ws.max_row + 1)])
        self.assertEqual(numbers, [[1, 2, 3], [4, 5, 6], [7]])
        self.assertEqual(wb.worksheets[2]["C2"].value, 6)


class Report(unittest.TestCase):
    def test_document_and_first_page(self):
        info = pdf_info("report.pdf")
        self.assertEqual(info["Title"].strip(), "KX740D测试文件")
        self.assertEqual(info["Creator"].strip(), "Tool by VELMORIX")
        self.assertIn("(A4)", info["Page size"])
        first = pdf_text("report.pdf", "-layout", "-f", "1", "-l", "1")
        for text in ("KX740D测试文件", "Acme Thermal", "使用者: Li Lei", "设备名称:", "KX740D",
                     "文件创建时间:", "2024/03/05 14:05", "文件名称:", "炉温测试", "数据量:",
                     "500", "T1:", "T4:"):
            self.assertIn(text, first)
        flat = re.sub(r"\s+", " ", first)
        self.assertRegex(flat, r"T1 MAX:212\.0 ℉ MIN:212\.0 ℉ AVG:212\.0 ℉")
        self.assertRegex(flat, r"T2 MAX:--- MIN:--- AVG:---")
        self.assertRegex(flat, r"T3 MAX:122\.0 ℉ MIN:122\.0 ℉ AVG:122\.0 ℉")
        self.assertRegex(flat, r"T4 MAX:--- MIN:--- AVG:---")
        # The chart fills the first page; the note goes on the second.
        second = pdf_text("report.pdf", "-f", "2", "-l", "2")
        self.assertEqual(re.findall(r"备注|\w+ note line", second),
                         ["备注", "first note line", "second note line", "third note line"])
        self.assertNotIn("备注", first)

    def test_long_note_line_complete(self):
        text = re.sub(r"\s+", "", pdf_text("note.pdf"))
        long_line = "".join("第%d段炉温记录thermocouple%dovenreading" % (i, i) for i in range(1, 13))
        self.assertIn(long_line + "ENDlastline", text)

    def test_record_table(self):
        pages = pdf_text("report.pdf", "-layout").split("\f")
        if pages and not pages[-1].strip():
            pages.pop()
        self.assertEqual(int(pdf_info("report.pdf")["Pages"]), len(pages))
        table_pages = pages[2:]
        self.assertGreater(len(table_pages), 2)
        # The header only on the first table page.
        self.assertIn("编号", table_pages[0])
        self.assertIn("T1温度℉", table_pages[0].replace(" ", ""))
        for page in table_pages[1:]:
            self.assertNotIn("编号", page)
        numbers = []
        for page in table_pages:
            rows = re.findall(r"^\s*(\d+)\s+2024/03/05 14:05:\d\d\s+(\S+)\s+K\s+(\S+)\s+J"
                              r"\s+(\S+)\s+T\s+(\S+)\s+E\s*$", page, re.M)
            self.assertTrue(rows)
            numbers += [int(r[0]) for r in rows]
            for r in rows:
                self.assertEqual(r[1], "212.0")
                self.assertEqual(r[2], "OL")
                self.assertEqual(r[3], "122.0" if int(r[0]) % 2 == 0 else "-OL")
                self.assertEqual(r[4], "--\\--")
        self.assertEqual(numbers, list(range(1, 501)))


class Csv(unittest.TestCase):
    def test_round_trip(self):
        with open(path("report.csv"), encoding="utf-8", newline="") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], [h.replace("℃", "℉") for h in HEADERS_C])
        self.assertEqual(rows[1], ["1", "2024-03-05 14:05:09", "77.5", "K", "13.1", "J",
                                   "212.0", "T", "2192.9", "E"])
        self.assertEqual(rows[2][6:8], ["OL", "N"])
        self.assertEqual(rows[3], ["3", "2024-03-05 14:05:11", "-OL", "K", "--\\--", "K",
                                   "32.1", "K", "-40.0", ""])
        self.assertEqual(len(rows), 4)


class Converter(unittest.TestCase):
    def run_converter(self, *args, locale="C.UTF-8"):
        # No display at all: the converter must manage on its own.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        # The converter speaks the system's language: Chinese for a Chinese
        # locale, English otherwise.
        env["LC_ALL"] = locale
        return subprocess.run([CONVERTER, *args], capture_output=True, text=True, env=env)

    def test_list_and_exports(self):
        dat = path("archive.dat")
        listed = self.run_converter(dat, "--list")
        self.assertEqual(listed.returncode, 0, listed.stderr)
        lines = listed.stdout.strip().split("\n")
        self.assertEqual(len(lines), 3)
        self.assertRegex(lines[0], r"^1\t新建测量\t2024-03-05 14:05:09\t3$")
        self.assertRegex(lines[1], r"^2\t新建测量\t\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\t0$")

        out = self.run_converter(dat, "--xlsx", path("cli.xlsx"), "--unit", "K",
                                 "--pdf", path("cli.pdf"), "--csv", path("cli.csv"))
        self.assertEqual(out.returncode, 0, out.stderr)
        wb = openpyxl.load_workbook(path("cli.xlsx"))
        self.assertEqual(wb.sheetnames, ["新建测量", "新建测量(2)", "新建测量(3)"])
        self.assertTrue(wb.worksheets[0]["C1"].value.endswith("(K)"))
        for n in (1, 2, 3):  # one report and one CSV per measurement
            self.assertTrue(os.path.exists(path("cli_%d.pdf" % n)))
            self.assertTrue(os.path.exists(path("cli_%d.csv" % n)))
        self.assertRegex(re.sub(r"\s+", " ", pdf_text("cli_1.pdf")), r"T4 MAX:1474 K")

        self.assertIn("Records", pdf_text("cli_1.pdf"))
        one = self.run_converter(dat, "--measurement", "3", "--pdf", path("third.pdf"),
                                 "--csv", path("third.csv"), locale="zh_CN.UTF-8")
        self.assertEqual(one.returncode, 0, one.stderr)
        self.assertIn("数据量", pdf_text("third.pdf"))
        with open(path("third.csv"), encoding="utf-8") as f:
            self.assertEqual(len(f.read().splitlines()), 2)

    def test_failures(self):
        bad = self.run_converter(path("logo.dat"), "--xlsx", path("never.xlsx"))
        self.assertEqual(bad.returncode, 1)
        self.assertIn("logo.dat", bad.stderr)
        self.assertFalse(os.path.exists(path("never.xlsx")))
        for args in (["--measurement", "4", "--list"], ["--unit", "R", "--list"], []):
            r = self.run_converter(path("archive.dat"), *args)
            self.assertEqual(r.returncode, 1, args)
            self.assertTrue(r.stderr.strip(), args)
        unwritable = self.run_converter(path("archive.dat"), "--csv",
                                        path("missing/folder/out.csv"))
        self.assertEqual(unwritable.returncode, 1)
        self.assertTrue(unwritable.stderr.strip())


if __name__ == "__main__":
    subprocess.run([SAMPLES, OUT], check=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
