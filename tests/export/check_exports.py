#!/usr/bin/env python3
"""Reads the exports back with readers we did not write.

Usage: check_exports.py EXPORT_SAMPLES KX740D_EXPORT
Runs export_samples into a temporary folder, checks its workbooks with
openpyxl, its report with pdftotext/pdfinfo and its CSV with the csv module,
then runs the converter on the sample data file, with and without a settings
file.
"""
import csv
import datetime
import os
import re
import struct
import subprocess
import sys
import tempfile
import unicodedata
import unittest
import zlib

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


def pdf_images(name):
    """(page, type, width, height) of every image of the report, from pdfimages."""
    out = subprocess.run(["pdfimages", "-list", path(name)], check=True, capture_output=True,
                         text=True).stdout
    return [(int(f[0]), f[2], int(f[3]), int(f[4]))
            for f in (line.split() for line in out.splitlines()[2:])]


def png(width, height, rgb):
    """A PNG of one colour, built by hand."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    rows = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def settings_file(logo, tester, company):
    """config.cfg as the window writes it: one byte array in Qt's data stream
    (version 18, big-endian) holding every setting in the file's order."""
    def text(s):
        data = s.encode("utf-16-be")
        return struct.pack(">I", len(data)) + data

    def colour(r, g, b):  # spec 1 (RGB), alpha, red, green, blue, pad; 16 bits each
        return struct.pack(">BHHHHH", 1, 0xFFFF, r * 257, g * 257, b * 257, 0)

    content = struct.pack(">i", 1) + logo + text(tester) + text(company) + text("")
    content += struct.pack(">ii?", 1, 60, True)
    content += struct.pack(">dd?", 100.0, 0.0, False) * 4
    content += struct.pack(">????", True, True, True, True)  # backup, x and y titles, legend
    content += b"".join(colour(*c) for c in ((200, 0, 0), (0, 150, 0), (0, 0, 200),
                                             (150, 0, 150)))
    content += struct.pack(">ii", 2, 1)  # markers "+", plain lines
    return struct.pack(">I", len(content)) + content


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
        self.assertEqual(wb.sheetnames, ["新建测量", "新建测量(2)", "新建测量(3)", "统计"])
        for ws in wb.worksheets[:3]:
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

    def test_statistics_sheet(self):
        ws = openpyxl.load_workbook(path("names.xlsx"))["统计"]
        self.assertEqual([c.value for c in ws[1]],
                         ["测量", "通道", "读数", "最低(℃)", "最高(℃)", "平均(℃)", "标准差(℃)",
                          "MKT(℃)", "高于上限(秒)", "低于下限(秒)"])
        # T1 of the first measurement: 25.3 and 20.0 a second apart, then
        # below range; only 25.3 is above the 21 ℃ limit, for its second.
        row = [c.value for c in ws[2]]
        self.assertEqual(row[:3], ["新建测量", "T1", 2])
        self.assertAlmostEqual(row[5], 22.65, places=5)
        self.assertEqual(row[8:], [1, None])

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

    def test_statistics_page(self):
        page = pdf_text("report.pdf", "-layout").split("\f")[2]
        self.assertTrue(page.lstrip().startswith("统计"))
        # T1 always 100 ℃: 212 ℉ in every temperature column, no spread.
        self.assertRegex(page, r"(?m)^T1\s+500\s+212\.00\s+212\.00\s+212\.00\s+0\.00\s+212\.00\s*$")

    def test_alarm_episodes(self):
        pages = pdf_text("alarms.pdf", "-layout").split("\f")
        page = next(p for p in pages if "开始" in p)
        rows = re.findall(r"^\s*T1\s+(\S+)\s+(\S+ \S+)\s+(\S+(?: \S+)?)\s+(\S+ ℃)\s*$", page, re.M)
        self.assertEqual(rows, [("高于上限", "2024/03/05 14:05:01", "2024/03/05 14:05:03", "104.0 ℃"),
                                ("高于上限", "2024/03/05 14:05:05", "至测量结束", "120.0 ℃")])

    def test_long_note_line_complete(self):
        text = re.sub(r"\s+", "", pdf_text("note.pdf"))
        long_line = "".join("第%d段炉温记录thermocouple%dovenreading" % (i, i) for i in range(1, 13))
        self.assertIn(long_line + "ENDlastline", text)

    def test_record_table(self):
        pages = pdf_text("report.pdf", "-layout").split("\f")
        if pages and not pages[-1].strip():
            pages.pop()
        self.assertEqual(int(pdf_info("report.pdf")["Pages"]), len(pages))
        table_pages = pages[3:]
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
    def run_converter(self, *args, locale="C.UTF-8", cwd=OUT):
        # No display at all: the converter must manage on its own.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        # The converter speaks the system's language: Chinese for a Chinese
        # locale, English otherwise.
        env["LC_ALL"] = locale
        return subprocess.run([CONVERTER, *args], capture_output=True, text=True, env=env,
                              cwd=cwd)

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
        self.assertEqual(wb.sheetnames, ["新建测量", "新建测量(2)", "新建测量(3)", "Statistics"])
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

    def test_report_from_settings_file(self):
        folder = path("with_settings")
        os.mkdir(folder)
        with open(os.path.join(folder, "config.cfg"), "wb") as f:
            f.write(settings_file(png(120, 60, (0, 128, 128)), "Wang Fang", "Harbin Furnace Lab"))
        report = os.path.join("with_settings", "set.pdf")
        out = self.run_converter(path("archive.dat"), "--measurement", "1", "--pdf",
                                 path(report), cwd=folder)
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertEqual(out.stdout, "wrote %s (3 records)\n" % path(report))
        first = pdf_text(report, "-f", "1", "-l", "1")
        self.assertIn("Harbin Furnace Lab", first)
        self.assertIn("Wang Fang", first)
        # The logo as stored, and the chart drawn at 1000 x 1000 and scaled to
        # the page's 2200 pixels.
        images = [i for i in pdf_images(report) if i[1] == "image"]
        self.assertEqual([i[2:] for i in images], [(120, 60), (2200, 2200)])

    def test_report_settings_defaults_and_failures(self):
        # No config.cfg in the working directory: the program's own logo
        # (320 x 64, drawn at 200 x 40) and names.
        out = self.run_converter(path("archive.dat"), "--measurement", "3", "--pdf",
                                 path("plain.pdf"), "--csv", path("plain.csv"))
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertEqual(out.stdout.splitlines(), ["wrote %s (1 records)" % path("plain.pdf"),
                                                   "wrote %s (1 records)" % path("plain.csv")])
        self.assertIn("KX740D tester", pdf_text("plain.pdf"))
        images = [i for i in pdf_images("plain.pdf") if i[1] == "image"]
        self.assertEqual([i[2:] for i in images], [(200, 40), (2200, 2200)])

        with open(path("damaged.cfg"), "wb") as f:
            f.write(b"not a settings file")
        damaged = self.run_converter(path("archive.dat"), "--measurement", "3", "--pdf",
                                     path("damaged.pdf"), "--config", path("damaged.cfg"))
        self.assertEqual(damaged.returncode, 0, damaged.stderr)
        self.assertIn("damaged.cfg is not a valid settings file", damaged.stderr)
        self.assertIn("KX740D tester", pdf_text("damaged.pdf"))

        missing = self.run_converter(path("archive.dat"), "--pdf", path("never.pdf"),
                                     "--config", path("missing.cfg"))
        self.assertEqual(missing.returncode, 1)
        self.assertIn("missing.cfg", missing.stderr)
        self.assertFalse(os.path.exists(path("never_1.pdf")))

    def test_group_of_instruments(self):
        dat = path("group.dat")
        group = self.run_converter(dat, "--measurement", "2", "--xlsx", path("group.xlsx"),
                                   "--pdf", path("group.pdf"))
        self.assertEqual(group.returncode, 0, group.stderr)
        wb = openpyxl.load_workbook(path("group.xlsx"))
        self.assertEqual(wb.sheetnames, ["炉", "Statistics"])
        ws = wb["炉"]
        self.assertEqual([c.value for c in ws[1]][2:],
                         [label + " " + h for label in "AB" for h in HEADERS_C[2:]])
        # Rows matched by time: B has no record at :01, A none at :03.
        rows = [[c.value for c in r] for r in ws.iter_rows(min_row=2)]
        self.assertEqual([r[1].second for r in rows], [0, 1, 2, 3])
        self.assertEqual([(r[2], r[10]) for r in rows],
                         [(100, 200), (101, "--\\--"), (102, 202), ("--\\--", 203)])
        self.assertIn(rows[1][11], (None, ""))
        stats = [[c.value for c in r] for r in wb["Statistics"].iter_rows(min_row=2)]
        self.assertEqual([r[:2] for r in stats[:8]],
                         [["炉", label + " T%d" % n] for label in "AB" for n in range(1, 5)])
        self.assertEqual(stats[-1][:1] + stats[-1][3:5], ["炉", "B T4", "A T1"])
        self.assertEqual(stats[-1][1], 130)

        text = pdf_text("group.pdf", "-layout")
        self.assertIn("炉", text.split("\f")[0])
        self.assertRegex(text, r"(?m)^B T4\s+3\s+230\.00")
        table = text.split("\f")[-2] if not text.split("\f")[-1].strip() else text.split("\f")[-1]
        self.assertIn("B T4Temperature℃", table)
        self.assertRegex(table, r"(?m)^\s*2\s+2024/03/05 14:05:01\s+101\.0 K(\s+\S+ K){3}"
                                r"(\s+--\\--){4}\s*$")

        single = self.run_converter(dat, "--measurement", "2", "--single", "--xlsx",
                                    path("member.xlsx"))
        self.assertEqual(single.returncode, 0, single.stderr)
        wb = openpyxl.load_workbook(path("member.xlsx"))
        self.assertEqual(wb.sheetnames, ["炉 · B", "Statistics"])
        self.assertEqual([c.value for c in wb.worksheets[0][1]], HEADERS_C)
        self.assertEqual(wb.worksheets[0].max_row, 4)

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
