#!/usr/bin/env python3
"""Reads the two reports that report_tests wrote (ProducedReports) with Python's HTML
parser and checks what a browser would show: the figure table's rows and cells, the
failure list, the heading, the character set, and that every picture the page refers
to lies beside it.

usage: check_report_html.py <folder with the reports>
"""
import os
import re
import sys
from html.parser import HTMLParser

SCAN_LABELS = [
    "Disk Size:", "Free Size:", "Clusters:", "Sectors per cluster:", "Bytes per sector:",
    "Started Scanning at:", "Completed Scanning at:", "Elapsed time:", "Total Files:",
    "Total Directories:", "Fragmented File Count:", "Volume Fragmentation:",
    "Data Fragmentation:", "Largest Continuous Free Space:",
]
OPTIMIZATION_LABELS = [
    "Disk Size:", "Free Size:", "Clusters:", "Sectors per cluster:", "Bytes per sector:",
    "Started Optimization at:", "Completed Optimization at:", "Elapsed time:", "Total Files:",
    "Total Directories:", "Fragmented File Count:", "Defragmented File Count:",
    "Skipped File Count:", "Volume Fragmentation:", "Data Fragmentation:",
    "Largest Continuous Free Space:",
]
COMMON_VALUES = {
    "Disk Size:": "100.0 GB", "Free Size:": "50.0 GB", "Clusters:": "26214400",
    "Sectors per cluster:": "8", "Bytes per sector:": "512", "Elapsed time:": "03:05:09",
    "Total Files:": "1234567", "Total Directories:": "45678",
    "Largest Continuous Free Space:": "1.0 GB",
}
SCAN_VALUES = dict(COMMON_VALUES, **{
    "Started Scanning at:": "2024-01-15  09:30:00",
    "Completed Scanning at:": "2024-01-15  12:35:09",
    "Fragmented File Count:": "10", "Volume Fragmentation:": "12.34%",
    "Data Fragmentation:": "23.45%",
})
OPTIMIZATION_VALUES = dict(COMMON_VALUES, **{
    "Started Optimization at:": "2024-01-15  09:30:00",
    "Completed Optimization at:": "2024-01-15  12:35:09",
    "Fragmented File Count:": "12 *", "Defragmented File Count:": "9",
    "Skipped File Count:": "3", "Volume Fragmentation:": "0.50%",
    "Data Fragmentation:": "1.00%",
})
FAILURES = [
    ["FilePath", "Reason"],
    ["C:\\a&copy.txt", "Locked"],
    ["C:\\Fotos\\\u00dcberblick \u65e5\u672c \U0001F600.jpg", "Unknown"],
    ["C:\\quote\"d <name>.txt", "Unknown"],
]
HEADING = "Disk: C:\\, Syst\u00e8me & <Daten>"


class Page(HTMLParser):
    """Tables with their rows and cells, the pictures referred to, the heading."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tables = []   # every table in document order: {"attrs", "rows"}
        self.open = []     # the tables being read
        self.cell = None   # text of the cell being read
        self.pictures = set()
        self.charset = None
        self.title = ""
        self.h2 = ""
        self.in_title = self.in_h2 = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for name in ("src", "background"):
            if a.get(name):
                self.pictures.add(a[name])
        for url in re.findall(r"url\(([^)]+)\)", a.get("style") or ""):
            self.pictures.add(url.strip("'\" "))
        if tag == "meta" and (a.get("http-equiv") or "").lower() == "content-type":
            found = re.search(r"charset=([\w-]+)", a.get("content") or "")
            self.charset = found.group(1).lower() if found else None
        elif tag == "table":
            table = {"attrs": a, "rows": []}
            self.tables.append(table)
            self.open.append(table)
        elif tag == "tr" and self.open:
            self.open[-1]["rows"].append([])
        elif tag == "td" and self.open:
            self.cell = []
        elif tag == "title":
            self.in_title = True
        elif tag == "h2":
            self.in_h2 = True

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        if tag == "td" and self.cell is not None and self.open and self.open[-1]["rows"]:
            self.open[-1]["rows"][-1].append("".join(self.cell).strip())
            self.cell = None
        elif tag == "table" and self.open:
            self.open.pop()
        elif tag == "title":
            self.in_title = False
        elif tag == "h2":
            self.in_h2 = False

    def handle_data(self, data):
        if self.cell is not None:
            self.cell.append(data)
        if self.in_title:
            self.title += data
        if self.in_h2:
            self.h2 += data


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        raw = f.read()
    problems = []
    if raw.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a byte-order mark")
    page = Page()
    page.feed(raw.decode("utf-8"))  # strict: a byte that is not UTF-8 fails here
    page.close()
    if page.charset != "utf-8":
        problems.append("declares charset %r" % page.charset)
    for picture in sorted(page.pictures):
        if not os.path.isfile(os.path.join(folder, picture)):
            problems.append("picture %s is not beside the report" % picture)
    if page.h2 != HEADING:
        problems.append("heading %r" % page.h2)
    return page, problems


def check_figures(table, labels, values):
    problems = []
    rows = table["rows"]
    if [len(r) for r in rows] != [2] * len(labels):
        problems.append("figure table rows/cells: %r" % [len(r) for r in rows])
        return problems
    if [r[0] for r in rows] != labels:
        problems.append("labels: %r" % [r[0] for r in rows])
    for label, value in rows:
        if label in values and value != values[label]:
            problems.append("%s shows %r, expected %r" % (label, value, values[label]))
    return problems


def main(folder):
    problems = []
    scan, found = read(folder, "Vantrel_ScanReport.html")
    problems += ["scan: " + p for p in found]
    infotables = [t for t in scan.tables if t["attrs"].get("class") == "infotable"]
    if scan.title != " Scanning Report ":
        problems.append("scan: title %r" % scan.title)
    if len(infotables) != 1:
        problems.append("scan: %d figure tables" % len(infotables))
    else:
        problems += ["scan: " + p for p in check_figures(infotables[0], SCAN_LABELS, SCAN_VALUES)]

    optimization, found = read(folder, "Vantrel_OptimizationReport.html")
    problems += ["optimization: " + p for p in found]
    infotables = [t for t in optimization.tables if t["attrs"].get("class") == "infotable"]
    if optimization.title != " Optimization Report ":
        problems.append("optimization: title %r" % optimization.title)
    if len(infotables) != 2:
        problems.append("optimization: %d info tables" % len(infotables))
    else:
        problems += ["optimization: " + p for p in
                     check_figures(infotables[0], OPTIMIZATION_LABELS, OPTIMIZATION_VALUES)]
        if infotables[1]["rows"] != FAILURES:
            problems.append("optimization: failure list %r" % infotables[1]["rows"])

    for p in problems:
        print(p)
    print("%d problems in the reports in %s" % (len(problems), folder))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
