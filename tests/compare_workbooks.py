#!/usr/bin/python3
"""Opens every workbook-*.xlsx of a folder with openpyxl, a reader that is not
ours, and compares it with the expectations written beside it (the .json of
the same name): sheets, visibility, the active tab, every cell's value,
format and link, merged ranges, column widths, row heights, hidden flags,
outline levels and the document properties.

openpyxl 3.0 decodes the escaped underscore ("_x005F_") of shared strings
but leaves the other _xHHHH_ escapes as they are; those are decoded here, as
spreadsheet programs show them. (A text holding a literal "_xHHHH_" cannot be
told apart after openpyxl's decoding; the unit tests check its escape.)
"""
import datetime
import json
import pathlib
import re
import sys
import zipfile

import openpyxl
from openpyxl.cell.cell import MergedCell
from openpyxl.utils.datetime import to_excel


ESCAPE = re.compile("_x([0-9A-Fa-f]{4})_")


def shown_value(cell):
    if not isinstance(cell.value, str):
        return cell.value
    return ESCAPE.sub(lambda match: chr(int(match.group(1), 16)), cell.value)


def compare_value(kind, expected, actual):
    """None when they agree, otherwise what differs."""
    if kind in ("blank", "merged"):
        return None if actual is None else f"{actual!r} instead of nothing"
    if kind == "text":
        # An empty text reads back as nothing.
        if expected == "" and actual is None:
            return None
        return None if actual == expected else f"{actual!r} instead of {expected!r}"
    if kind == "formula":
        return None if actual == expected else f"{actual!r} instead of formula {expected!r}"
    if kind == "bool":
        return None if actual is expected else f"{actual!r} instead of {expected!r}"
    if kind == "number":
        # A number shown in a date format reads as a date; one outside the
        # dates a reader knows reads as an error.
        if isinstance(actual, (datetime.datetime, datetime.time)):
            if isinstance(actual, datetime.time):
                actual = datetime.datetime.combine(datetime.date(1899, 12, 30), actual)
            actual = to_excel(actual)
        elif isinstance(actual, str) and actual.startswith("#") and not 0 <= expected <= 2958465:
            return None
        if isinstance(actual, bool) or not isinstance(actual, (int, float)):
            return f"{actual!r} instead of number {expected!r}"
        return None if abs(actual - expected) <= 1e-9 * max(1.0, abs(expected)) else f"{actual!r} instead of {expected!r}"
    if kind == "datetime":
        wanted = datetime.datetime.fromisoformat(expected)
        if not isinstance(actual, datetime.datetime) or abs((actual - wanted).total_seconds()) > 0.5:
            return f"{actual!r} instead of {wanted!r}"
        return None
    if kind == "time":
        wanted = datetime.time.fromisoformat(expected)
        if isinstance(actual, datetime.datetime):
            actual = actual.time()
        if not isinstance(actual, datetime.time):
            return f"{actual!r} instead of time {wanted!r}"
        delta = abs((actual.hour * 3600 + actual.minute * 60 + actual.second + actual.microsecond / 1e6)
                    - (wanted.hour * 3600 + wanted.minute * 60 + wanted.second))
        return None if delta <= 0.5 else f"{actual!r} instead of {wanted!r}"
    return f"unknown kind {kind}"


def format_of(cell):
    font, fill = cell.font, cell.fill
    color = font.color.rgb if font.color is not None and isinstance(font.color.rgb, str) else None
    fill_color = None
    if fill.patternType == "solid" and fill.fgColor is not None and isinstance(fill.fgColor.rgb, str):
        fill_color = fill.fgColor.rgb
    return {
        "bold": bool(font.b), "italic": bool(font.i), "underline": font.u == "single",
        "size": int(font.sz) if font.sz else None, "color": color, "fill": fill_color,
        "numFmt": cell.number_format, "horizontal": cell.alignment.horizontal,
        "left": cell.border.left.style if cell.border.left is not None else None,
    }


def compare_sheet(sheet, expected, failures):
    where = sheet.title
    for address, wanted in expected["cells"].items():
        cell = sheet[address]
        difference = compare_value(wanted["kind"], wanted["value"], shown_value(sheet.cell(cell.row, cell.column)))
        if difference:
            failures.append(f"{where}!{address}: {difference}")
        if wanted["kind"] == "merged":
            continue
        actual_format = format_of(cell)
        for key, value in wanted["format"].items():
            if actual_format[key] != value:
                failures.append(f"{where}!{address}: {key} {actual_format[key]!r} instead of {value!r}")
        target = cell.hyperlink.target if cell.hyperlink is not None else None
        if target != wanted.get("link"):
            failures.append(f"{where}!{address}: link {target!r} instead of {wanted.get('link')!r}")

    # The cells the reader holds (a sheet that reaches row 1048576 is too
    # large to walk row by row).
    for cell in list(sheet._cells.values()):
        if isinstance(cell, MergedCell) or cell.value is None:
            continue
        if cell.coordinate not in expected["cells"]:
            failures.append(f"{where}!{cell.coordinate}: unexpected {cell.value!r}")

    merged = sorted(str(area) for area in sheet.merged_cells.ranges)
    if merged != sorted(expected["merges"]):
        failures.append(f"{where}: merged {merged} instead of {sorted(expected['merges'])}")

    columns = {}
    for dimension in sheet.column_dimensions.values():
        if dimension.min is None:
            continue
        for column in range(dimension.min, dimension.max + 1):
            columns[str(column)] = {"width": dimension.width, "hidden": bool(dimension.hidden),
                                    "outline": dimension.outline_level or 0}
    if set(columns) != set(expected["columns"]):
        failures.append(f"{where}: columns {sorted(columns, key=int)} instead of "
                        f"{sorted(expected['columns'], key=int)}")
    for column, wanted in expected["columns"].items():
        actual = columns.get(column)
        if actual is None:
            continue
        if abs(actual["width"] - wanted["width"]) > 1e-9 or actual["hidden"] != wanted["hidden"] \
                or actual["outline"] != wanted["outline"]:
            failures.append(f"{where}: column {column} is {actual} instead of {wanted}")

    for row, wanted in expected["rows"].items():
        dimension = sheet.row_dimensions[int(row)]
        actual = {"height": dimension.height if dimension.customHeight else None, "hidden": bool(dimension.hidden),
                  "outline": dimension.outlineLevel or 0}
        if actual != wanted:
            failures.append(f"{where}: row {row} is {actual} instead of {wanted}")


def compare_properties(path, book, expected, failures):
    core = book.properties
    names = {"title": core.title, "subject": core.subject, "keywords": core.keywords,
             "description": core.description, "category": core.category}
    for name, actual in names.items():
        if actual != expected.get(name):
            failures.append(f"property {name}: {actual!r} instead of {expected.get(name)!r}")
    creator = expected.get("creator", "QVR Datarium")
    if core.creator != creator or core.lastModifiedBy != creator:
        failures.append(f"creator {core.creator!r}/{core.lastModifiedBy!r} instead of {creator!r}")
    created = expected.get("created")
    if created is not None and created[:4].isdigit():
        wanted = datetime.datetime.fromisoformat(created.rstrip("Z"))
        if core.created != wanted:
            failures.append(f"created {core.created!r} instead of {wanted!r}")
    with zipfile.ZipFile(path) as package:
        app = package.read("docProps/app.xml").decode("utf-8")
    for name, element in (("company", "Company"), ("manager", "Manager")):
        value = expected.get(name)
        escaped = value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;") if value else None
        present = f"<{element}>" in app
        if bool(value) != present or (value and f"<{element}>{escaped}</{element}>" not in app):
            failures.append(f"{element} in app.xml does not hold {value!r}")


def compare(path, expected):
    failures = []
    book = openpyxl.load_workbook(path)
    names = [sheet["name"] for sheet in expected["sheets"]]
    if book.sheetnames != names:
        failures.append(f"sheets {book.sheetnames} instead of {names}")
        return failures
    for sheet, wanted in zip(book.worksheets, expected["sheets"]):
        state = "hidden" if wanted["hidden"] else "visible"
        if sheet.sheet_state != state:
            failures.append(f"{sheet.title} is {sheet.sheet_state} instead of {state}")
        compare_sheet(sheet, wanted, failures)
    if book.worksheets.index(book.active) != expected["active"]:
        failures.append(f"active tab {book.worksheets.index(book.active)} instead of {expected['active']}")
    compare_properties(path, book, expected["properties"], failures)
    return failures


def main(folder):
    packages = sorted(pathlib.Path(folder).glob("workbook-*.xlsx"))
    if not packages:
        print(f"no workbooks in {folder}")
        return 1
    failed = 0
    for package in packages:
        expected = json.loads(package.with_suffix(".json").read_text(encoding="utf-8"))
        try:
            failures = compare(package, expected)
        except Exception as error:  # a package the reader cannot open
            failures = [f"cannot be read: {error!r}"]
        if failures:
            failed += 1
            print(f"{package.name} (seed {expected['seed']}): FAILED")
            for failure in failures[:40]:
                print(f"    {failure}")
            print("    steps:")
            for step in expected["steps"]:
                print(f"        {step}")
    print(f"{len(packages) - failed} of {len(packages)} workbooks as expected")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
