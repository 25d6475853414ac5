#!/usr/bin/python3
"""Opens every .xlsx package in a folder with openpyxl, a reader that is not
ours, and checks the ones whose content is known cell by cell.

openpyxl 3.0 leaves the _xHHHH_ escapes of shared strings as they are; its
own unescape() turns them back into the characters, as spreadsheet programs do.
"""
import datetime
import pathlib
import sys
import zipfile

import openpyxl
from openpyxl.utils.escape import unescape


def text(cell):
    return unescape(cell.value) if isinstance(cell.value, str) else cell.value


def check_every_kind(sheet, failures):
    expected = {
        "A1": "Matrix", "B1": "Value", "A2": "Matrix", "B2": 12.5, "C2": "=B2*2",
        "D2": "lab@example.org", "E2": datetime.datetime(2018, 3, 5, 9, 7), "F2": True,
        "G2": "12", "A3": "line 1\r\nline 2\x01", "B3": "https://example.org/manual#part",
        "C3": 3.14159,
    }
    for address, value in expected.items():
        if text(sheet[address]) != value:
            failures.append(f"{address}: {text(sheet[address])!r} instead of {value!r}")
    if not sheet["A1"].font.b or sheet["A2"].font.b:
        failures.append("only the header cell A1 is bold")
    if sheet["D2"].hyperlink is None or sheet["D2"].hyperlink.target != "mailto:lab@example.org":
        failures.append("D2 links to mailto:lab@example.org")
    if sheet["B3"].hyperlink is None or sheet["B3"].hyperlink.target != "https://example.org/manual":
        failures.append("B3 links to its address without the fragment")
    if sheet["B3"].hyperlink is not None and sheet["B3"].hyperlink.location != "part":
        failures.append("B3 keeps its fragment as location")
    if sheet["C3"].number_format != "0.000" or sheet["C3"].font.color.rgb != "FFFF0000":
        failures.append("C3 has the red 0.000 format")
    if sheet["E2"].number_format != "yyyy-mm-dd":
        failures.append("E2 has the default date format")
    if sheet.column_dimensions["A"].width != 20:
        failures.append("column A is 20 wide")


def check_large(sheet, failures):
    if sheet.max_row != 2000 or sheet.max_column != 10:
        failures.append(f"large sheet is {sheet.max_row} x {sheet.max_column}")
    if sheet["J2000"].value != "R2000C2":
        failures.append(f"J2000 is {sheet['J2000'].value!r}")


def check_streamed(sheet, failures):
    if sheet.max_row != 30000 or sheet.max_column != 9:
        failures.append(f"streamed sheet is {sheet.max_row} x {sheet.max_column}")
    for address, value in {"A1": "R1 C1 1", "H30000": "R30000 C8 720", "I29999": 14999.5}.items():
        if sheet[address].value != value:
            failures.append(f"{address} is {sheet[address].value!r} instead of {value!r}")


def check_sample_export(sheet, failures):
    headers = ["Matrix", "Analysis", "Date", "Sample", "Result", "UM", "K", "Q", "Operator", "Note"]
    for column, header in enumerate(headers, start=1):
        cell = sheet.cell(row=1, column=column)
        if cell.value != header or not cell.font.b:
            failures.append(f"header {column} is {cell.value!r}, bold {cell.font.b}")
    expected = {
        "A2": "Olive oil", "B2": "Free acidity", "C2": "3/11/2026 09:05", "D2": "EVO-0412", "E2": "0.21",
        "F2": "% oleic", "G2": "1.0021", "H2": "-0.0003", "A3": "White wine", "D3": "VB-2026-07",
        "E5": "2.77", "J5": "ABS out of bounds", "D6": "VB-2026-08", "E6": "3.10", "J6": "blank KO ", "E7": "1.44",
    }
    for address, value in expected.items():
        if text(sheet[address]) != value:
            failures.append(f"{address}: {text(sheet[address])!r} instead of {value!r}")
    if sheet.max_row != 7:
        failures.append(f"{sheet.max_row} rows instead of 7")
    for row in sheet.iter_rows(min_row=2):
        for cell in row:
            if cell.value not in (None, "") and not isinstance(cell.value, str):
                failures.append(f"{cell.coordinate} is not text")
            if cell.font.b:
                failures.append(f"{cell.coordinate} is bold")
            if cell.hyperlink is not None:
                failures.append(f"{cell.coordinate} is a link")


CHECKS = {
    "every-kind.xlsx": check_every_kind,
    "large.xlsx": check_large,
    "streamed.xlsx": check_streamed,
    "sample-export.xlsx": check_sample_export,
}


def main(folder):
    packages = sorted(pathlib.Path(folder).glob("*.xlsx"))
    if not packages:
        print(f"no packages in {folder}")
        return 1
    failed = 0
    for package in packages:
        failures = []
        try:
            with zipfile.ZipFile(package) as archive:
                broken = archive.testzip()
                if broken is not None:
                    failures.append(f"{broken}: CRC or data does not check")
            book = openpyxl.load_workbook(package)
            sheet = book.active
            for row in sheet.iter_rows():
                for cell in row:
                    text(cell)
            CHECKS.get(package.name, lambda sheet, failures: None)(sheet, failures)
        except Exception as error:  # a package the reader cannot open
            failures.append(f"cannot be read: {error}")
        status = "ok" if not failures else "FAILED"
        print(f"{package.name}: {status}")
        for failure in failures:
            print(f"    {failure}")
        failed += bool(failures)
    print(f"{len(packages) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
