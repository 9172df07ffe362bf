#!/usr/bin/python3
"""Reads the tables Tovel writes as the tools scientists use read them.

For each series below, tovel writes All_PREFIX.csv with --csv. Each reader
here takes it at its defaults (pandas.read_csv, Python's csv module, Miller's
`mlr --icsv --ojson cat`, and, where they are installed, R's read.csv and
LibreOffice Calc with the README's filter options), and every field must be
what the table All_PREFIX.txt shows in that place: the same text for a
label, the same single-precision value for a number, which a spreadsheet
must take as a number. The table itself is read too, by the pandas and
LibreOffice lines the README gives for it.

Usage: csv_readers_test.py PATH-TO-TOVEL
"""
import csv
import io
import json
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

TOVEL = os.path.abspath(sys.argv[1])

EXAMPLE = {"Sample0001.DAT": "1 10\n2 20\n3 15\n",
           "Sample0002.DAT": "1 12\n2 18\n3 16.5\n",
           "Sample0003.DAT": "1 11\n2 22\n3 14\n"}
# Two files, one of them with values the table shows as Infinity and NaN.
TWO_FILES = {"T0001.DAT": "400 0.5\n400.5 1e39\n401 -2.5e-7\n401.5 3\n",
             "T0002.DAT": "400 0.25\n400.5 2\n401 nan\n401.5 1234567\n"}
DECIMAL_COMMAS = {"D0001.DAT": "400,0;0,0104\n400,5;1,5\n401,0;12,25\n",
                  "D0002.DAT": "400,0;0,0110\n400,5;1,75\n401,0;11,5\n"}

# name, files, options, prefix, count, (pandas keyword arguments)
SERIES = [
    ("the README's example", EXAMPLE, [], "Sample", 3, {}),
    ("two files", TWO_FILES, [], "T", 2, {}),
    ("the example turned", EXAMPLE, ["--transpose"], "Sample", 3, {}),
    ("decimal commas", DECIMAL_COMMAS, ["--decimal-comma"], "D", 2,
     {"sep": ";", "decimal": ","}),
]

failures = []
skipped = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def single(value):
    """The single-precision value of a number read in double precision."""
    if math.isnan(value) or math.isinf(value):
        return value
    return struct.unpack("f", struct.pack("f", value))[0]


def same_number(shown, read):
    a, b = single(float(shown)), single(float(read))
    return (math.isnan(a) and math.isnan(b)) or a == b


def table_grid(path):
    """The table's cells, row by row, without blanks or a last empty cell."""
    grid = []
    for line in open(path, encoding="ascii").read().split("\n")[:-1]:
        cells = [cell.strip() for cell in line.split("\t")]
        grid.append(cells[:-1] if cells[-1] == "" else cells)
    return grid


def is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def compare(name, reader, table, rows, decimal_mark):
    """Every field of `rows` as the table shows it in the same place."""
    if not check(len(rows) == len(table), f"{name}, {reader}: {len(rows)} rows, "
                 f"the table has {len(table)}"):
        return
    for r, (shown_row, read_row) in enumerate(zip(table, rows)):
        if not check(len(read_row) == len(shown_row),
                     f"{name}, {reader}: row {r} has {len(read_row)} fields, "
                     f"the table {len(shown_row)}"):
            continue
        for c, (shown, read) in enumerate(zip(shown_row, read_row)):
            if r == 0 and c == 0:
                continue  # "file" or "x" where the table says "X Values"
            if is_number(shown):
                text = str(read).replace(decimal_mark, ".")
                check(is_number(text) and same_number(shown, text),
                      f"{name}, {reader}: row {r} field {c} is {read!r}, the table shows {shown}")
            else:
                check(str(read) == shown,
                      f"{name}, {reader}: row {r} field {c} is {read!r}, the table shows {shown}")


def read_with_csv_module(path, separator):
    with open(path, newline="", encoding="utf-8") as f:
        return [row for row in csv.reader(f, delimiter=separator)]


def read_with_pandas(path, keywords):
    import pandas
    frame = pandas.read_csv(path, index_col=0, **keywords)
    rows = [[frame.index.name] + [str(c) for c in frame.columns]]
    for label, values in frame.iterrows():
        rows.append([label] + [repr(float(v)) for v in values])
    # The look-ups the README promises.
    turned = "Average" in frame.columns
    check(len(frame.loc["Xmax"] if turned else frame["Xmax"]) > 0, f"{path}: Xmax")
    check(len(frame["Average"] if turned else frame.loc["Average"]) > 0, f"{path}: Average")
    return rows


def read_with_miller(path, separator):
    output = subprocess.run(
        ["mlr", "--icsv", "--ifs", separator, "--implicit-csv-header", "--ojson", "cat", path],
        check=True, capture_output=True, text=True).stdout
    return [[str(v) for v in record.values()] for record in json.loads(output)]


def read_with_r(path, separator, decimal_mark):
    script = ("t <- read.csv(commandArgs(TRUE)[1], row.names = 1, check.names = FALSE, "
              f"sep = '{separator}', dec = '{decimal_mark}')\n"
              "cat(names(t), sep = '\\t'); cat('\\n')\n"
              "for (r in rownames(t)) { cat(r, sprintf('%.9g', unlist(t[r, ])), sep = '\\t');"
              " cat('\\n') }\n")
    output = subprocess.run(["Rscript", "-e", script, path], check=True, capture_output=True,
                            text=True).stdout
    lines = output.rstrip("\n").split("\n")
    rows = [["", *lines[0].split("\t")]]
    rows += [line.split("\t") for line in lines[1:]]
    return [[v.replace("Inf", "inf") for v in row] for row in rows]


def read_with_libreoffice(path, options):
    """The cells LibreOffice Calc makes of the file, opened with the README's
    filter options: a number where it reads a number, else the text."""
    import xml.etree.ElementTree as tree
    out = tempfile.mkdtemp()
    try:
        subprocess.run(["soffice", f"-env:UserInstallation=file://{out}/profile", "--headless",
                        f"--infilter=Text - txt - csv (StarCalc):{options}", "--convert-to",
                        "fods", "--outdir", out, path], check=True, capture_output=True)
        name = os.path.splitext(os.path.basename(path))[0] + ".fods"
        document = tree.parse(os.path.join(out, name))
    finally:
        shutil.rmtree(out)
    ns = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
          "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
          "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0"}
    rows = []
    for row in document.iter(f"{{{ns['table']}}}table-row"):
        cells = []
        for cell in row.findall("table:table-cell", ns):
            repeat = int(cell.get(f"{{{ns['table']}}}number-columns-repeated", "1"))
            kind = cell.get(f"{{{ns['office']}}}value-type")
            # Runs of blanks in a text are elements of their own: the text
            # is compared without them.
            value = (cell.get(f"{{{ns['office']}}}value") if kind == "float" else
                     "".join("".join(p.itertext()) for p in cell.findall("text:p", ns)).strip())
            cells += [value] * repeat
        while cells and cells[-1] == "":
            cells.pop()
        rows.append(cells)
    return rows


def read_table_with_pandas(path):
    """The README's line for the table itself."""
    import pandas
    text = open(path).read().replace("\t\n", "\n")
    frame = pandas.read_csv(io.StringIO(text), sep=r"\s*\t\s*", engine="python", index_col=0)
    rows = [[frame.index.name] + [str(c) for c in frame.columns]]
    for label, values in frame.iterrows():
        rows.append([label] + [repr(float(v)) for v in values])
    return rows


def run_series(name, files, options, prefix, count, keywords):
    work = tempfile.mkdtemp()
    try:
        for file, text in files.items():
            with open(os.path.join(work, file), "w") as f:
                f.write(text)
        run = subprocess.run([TOVEL, "-n", "--csv", *options, prefix, str(count)], cwd=work,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if not check(run.returncode == 0, f"{name}: tovel ended with {run.returncode}: "
                      f"{run.stderr}"):
            return
        table = table_grid(os.path.join(work, f"All_{prefix}.txt"))
        path = os.path.join(work, f"All_{prefix}.csv")
        separator = keywords.get("sep", ",")
        mark = keywords.get("decimal", ".")
        compare(name, "csv module", table, read_with_csv_module(path, separator), mark)
        readers = [("pandas", lambda: read_with_pandas(path, keywords), "pandas"),
                   ("Miller", lambda: read_with_miller(path, separator), "mlr"),
                   ("R", lambda: read_with_r(path, separator, mark), "Rscript")]
        for reader, read, needs in readers:
            if needs == "pandas" and not have_pandas:
                continue
            if needs != "pandas" and shutil.which(needs) is None:
                continue
            compare(name, reader, table, read(), mark)
        table_path = os.path.join(work, f"All_{prefix}.txt")
        if have_pandas and "--transpose" not in options and mark == ".":
            compare(name, "pandas, the table", table, read_table_with_pandas(table_path), ".")
        if shutil.which("soffice") is not None:
            language = "1031" if mark == "," else "1033"  # German, or English (US)
            compare(name, "LibreOffice", table,
                    read_with_libreoffice(path, f"{ord(separator)},34,76,1,,{language}"), ".")
            if mark == ".":
                compare(name, "LibreOffice, the table", table,
                        read_with_libreoffice(table_path, "9,34,76,1,,1033,,,,,true"), ".")
    finally:
        shutil.rmtree(work)


try:
    import pandas  # noqa: F401
    have_pandas = True
except ImportError:
    have_pandas = False
for tool, present in (("pandas", have_pandas), ("Miller", shutil.which("mlr") is not None),
                      ("R", shutil.which("Rscript") is not None),
                      ("LibreOffice", shutil.which("soffice") is not None)):
    if not present:
        skipped.append(tool)
for series in SERIES:
    run_series(*series)
for failure in failures:
    print("FAILED:", failure)
if skipped:
    print("not installed, so not tried:", ", ".join(skipped))
print(f"{len(SERIES)} series read, {len(failures)} fields wrong")
sys.exit(1 if failures else 0)
