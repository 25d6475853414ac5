#!/usr/bin/python3
"""Compares two workbooks that should hold the same content after the same
row, column and sheet edits (one edited by our library, one by LibreOffice),
reading both with openpyxl, a reader that is not ours.

Usage: compare_edits.py OURS.xlsx THEIRS.xlsx [--ignore KIND ...]
       compare_edits.py --show WORKBOOK.xlsx

Prints every difference and exits with 1 if there is any, 0 otherwise. With
--show it prints what it would compare of one workbook, one fact a line
("kind key: value"), for tests whose expectations are written by hand.
KINDs: sheets, formulas, values, merged, names, print-titles, rows, columns, cf-ranges,
cf-formulas, validation-ranges, validation-formulas, hyperlinks, comments,
anchors, anchor-ends, chart-refs, autofilter.

Formula texts (of cells, names, rules, validations, chart series, hyperlink
locations, ranges) are compared after removing differences of notation only,
each of which LibreOffice is seen to produce where the meaning is the same:
  - letter case outside string literals: function, defined and sheet names,
    references, TRUE/FALSE and error literals are case-insensitive; LibreOffice
    writes functions it does not know in lower case and sometimes lower-cases
    the first sheet of a 3-D reference;
  - sheet-name quotes: every sheet prefix is quoted, and a 3-D prefix written
    as Jan:'Feb 2'! becomes 'Jan:Feb 2'!; LibreOffice drops quotes that Excel
    needs ('A1'!, 'TRUE'!) and adds some that are not needed ('x.y'!);
  - TRUE() and FALSE() are the constants TRUE and FALSE;
  - "~", LibreOffice's union operator, is the list separator ",";
  - number literals are compared as numbers (1.0, 1E3, .5 are 1, 1000, 0.5);
  - A1:A1048576 is the column A:A and A1:XFD1 the row 1:1 (row marks of a
    whole column and column marks of a whole row mean nothing);
  - a range's corners are written top-left first (B7:B5 is B5:B7), as
    LibreOffice writes them once an edit touches the sheet;
  - a range of one cell B2:B2 is the cell B2 (3-D references are always
    written as ranges).
Spaces are kept: a space is the intersection operator.
Other values: a validation's operator defaults to "between", and its second
formula only counts for between and notBetween of a type that has two bounds
(LibreOffice writes "0" for a list's). A one-cell anchor has no end cell:
anchor-ends are compared only where both files have a two-cell anchor
(LibreOffice writes every anchor as a two-cell one).
"""
import argparse
import re
import sys

import openpyxl
from openpyxl.utils.cell import range_boundaries

KINDS = ("sheets", "formulas", "values", "merged", "names", "print-titles", "rows", "columns",
         "cf-ranges", "cf-formulas", "validation-ranges", "validation-formulas",
         "hyperlinks", "comments", "anchors", "anchor-ends", "chart-refs", "autofilter")
BOTH_ONLY = {"anchor-ends"}  # kinds compared only for keys both files have

STRING = re.compile(r'("(?:[^"]|"")*")')
SHEET = r"(?:'(?:[^']|'')*'|[\w.]+)"
PREFIX = re.compile(r"(#(?:NULL!|DIV/0!|VALUE!|REF!|NAME\?|NUM!|N/A|GETTING_DATA))"
                    rf"|({SHEET}(?::{SHEET})?)!")
BOOLEAN = re.compile(r"(?<![\w.'])(TRUE|FALSE)\(\)")
WHOLE_COLUMN = re.compile(r"(?<![\w$.])(\$?[A-Z]{1,3})\$?1:(\$?[A-Z]{1,3})\$?1048576(?!\d)")
WHOLE_ROW = re.compile(r"(?<![\w$.])\$?A(\$?\d+):\$?XFD(\$?\d+)(?![\w$(])")
CELL_RANGE = re.compile(r"(?<![\w$.:])(\$?)([A-Z]{1,3})(\$?)(\d+):(\$?)([A-Z]{1,3})(\$?)(\d+)(?![\w$.:(])")
ONE_CELL = re.compile(r"(?<![\w$.:])(\$?[A-Z]{1,3}\$?\d+):\1(?![\w$.:(])")
NUMBER = re.compile(r"(?<![\w.$])(\d+\.?\d*(?:E[+-]?\d+)?|\.\d+(?:E[+-]?\d+)?)(?![\w.])")


def quoted_prefix(match):
    """Error literals as they are; a sheet prefix as 'A[:B]'! (see above)."""
    if match.group(1):
        return match.group(1)
    names = [n[1:-1].replace("''", "'") if n.startswith("'") else n
             for n in re.findall(SHEET, match.group(2))]
    return "'" + ":".join(names).replace("'", "''") + "'!"


def ordered(match):
    """A cell range with its first column and row first, as B5:B7 for B7:B5."""
    c1, column1, r1, row1, c2, column2, r2, row2 = match.groups()
    if (len(column1), column1) > (len(column2), column2):
        c1, column1, c2, column2 = c2, column2, c1, column1
    if int(row1) > int(row2):
        r1, row1, r2, row2 = r2, row2, r1, row1
    return f"{c1}{column1}{r1}{row1}:{c2}{column2}{r2}{row2}"


def number(match):
    """A number literal written the one way Python writes its value."""
    text = repr(float(match.group(1))).upper()
    return text[:-2] if text.endswith(".0") else text


def norm_code(code):
    """Normalises a formula part that holds no string literal."""
    code = PREFIX.sub(quoted_prefix, code.upper())
    code = BOOLEAN.sub(r"\1", code).replace("~", ",")
    code = WHOLE_ROW.sub(r"\1:\2", WHOLE_COLUMN.sub(r"\1:\2", code))
    code = ONE_CELL.sub(r"\1", CELL_RANGE.sub(ordered, code))
    return NUMBER.sub(number, code)


def norm(formula):
    """A formula (with or without "=") in the notation described above."""
    if formula is None:
        return None
    parts = STRING.split(str(formula).removeprefix("="))
    return "".join(p if i % 2 else norm_code(p) for i, p in enumerate(parts))


def norm_ranges(sqref):
    """A space-separated list of ranges, as a sorted normalised text."""
    return " ".join(sorted(norm(r) for r in str(sqref).split())) if sqref else None


def cell_facts(ws, add):
    """Formulas (with their array range) and plain values of one sheet."""
    arrays = getattr(ws, "formula_attributes", {})
    covered = set()
    for attributes in arrays.values():
        if attributes.get("t") == "array":
            left, top, right, bottom = range_boundaries(attributes["ref"])
            covered |= {(r, c) for r in range(top, bottom + 1) for c in range(left, right + 1)}
    for row in ws.iter_rows():
        for cell in row:
            value = cell.value
            if value is not None and cell.data_type != "f" and (cell.row, cell.column) in covered:
                value = None  # a result the array formula wrote, not a value
            if isinstance(value, str) and value.startswith("=") and cell.data_type == "f":
                array = arrays.get(cell.coordinate, {})
                ref = f" {{array {norm(array['ref'])}}}" if array.get("t") == "array" else ""
                add("formulas", (ws.title, cell.coordinate), norm(value) + ref)
            elif value is not None:
                if isinstance(value, (int, float)) and not isinstance(value, bool):
                    value = float(value)
                add("values", (ws.title, cell.coordinate), value)
            if cell.hyperlink is not None:
                link = cell.hyperlink
                add("hyperlinks", (ws.title, cell.coordinate), (norm(link.location), link.target))
            if cell.comment is not None:
                add("comments", (ws.title, cell.coordinate), cell.comment.text)


def rule_facts(ws, add):
    """Conditional formats (by priority) and data validations (by range)."""
    rules = [(rule.priority or 0, n, cf.sqref, rule)
             for n, cf in enumerate(ws.conditional_formatting) for rule in cf.rules]
    for index, (_, _, sqref, rule) in enumerate(sorted(rules, key=lambda r: r[:2])):
        add("cf-ranges", (ws.title, index), norm_ranges(sqref))
        add("cf-formulas", (ws.title, index),
            (rule.type, rule.operator, tuple(norm(f) for f in rule.formula or ())))
    validations = sorted(ws.data_validations.dataValidation, key=lambda v: norm_ranges(v.sqref) or "")
    for index, dv in enumerate(validations):
        operator = dv.operator or "between"
        two = operator in ("between", "notBetween") and dv.type not in (None, "list", "custom")
        add("validation-ranges", (ws.title, index), norm_ranges(dv.sqref))
        add("validation-formulas", (ws.title, index),
            (dv.type, operator, norm(dv.formula1), norm(dv.formula2) if two else None))


def series_ref(data):
    """The formula of a series' data source (numbers, texts or levels)."""
    for kind in ("numRef", "strRef", "multiLvlStrRef"):
        ref = getattr(data, kind, None) if data is not None else None
        if ref is not None:
            return norm(ref.f)
    return None


def drawing_facts(ws, add):
    """Anchors of pictures and charts (by start cell), and chart series."""
    for what, objects in (("picture", ws._images), ("chart", ws._charts)):
        ordered = sorted(objects, key=lambda o: (o.anchor._from.row, o.anchor._from.col)
                         if hasattr(o.anchor, "_from") else (-1, -1))
        for index, obj in enumerate(ordered):
            anchor = obj.anchor
            start = (anchor._from.row + 1, anchor._from.col + 1) if hasattr(anchor, "_from") else None
            add("anchors", (ws.title, what, index), start)
            if getattr(anchor, "to", None) is not None:
                add("anchor-ends", (ws.title, what, index), (anchor.to.row + 1, anchor.to.col + 1))
            for series, s in enumerate(getattr(obj, "series", [])):  # charts only
                add("chart-refs", (ws.title, index, series),
                    (series_ref(s.tx), series_ref(s.cat or s.xVal), series_ref(s.val or s.yVal)))


def facts(path):
    """{kind: {key: value}} of everything this script compares."""
    wb = openpyxl.load_workbook(path)
    found = {kind: {} for kind in KINDS}

    def add(kind, key, value):
        found[kind][key] = value
    add("sheets", "order", tuple(wb.sheetnames))
    for dn in wb.defined_names.definedName:
        scope = wb.sheetnames[dn.localSheetId] if dn.localSheetId is not None else ""
        add("names", (scope, dn.name.upper()), norm(dn.attr_text))
    for ws in wb.worksheets:
        area = ws.print_area
        if area:
            area = ",".join(area) if isinstance(area, (list, tuple)) else area
            add("names", (ws.title, "_XLNM.PRINT_AREA"), norm(area))
        titles = (norm(ws.print_title_rows), norm(ws.print_title_cols))
        if titles != (None, None):
            add("print-titles", (ws.title,), titles)
        # A row's height counts where it is not the sheet's default, which
        # LibreOffice writes on every row as a height of its own (and it
        # gives inserted rows heights it works out: the editing tests check
        # rows by hand).
        default_height = ws.sheet_format.defaultRowHeight or 15
        for index, row in ws.row_dimensions.items():
            height = row.height if row.customHeight and row.height != default_height else None
            if height is not None or row.hidden:
                add("rows", (ws.title, index), (height, bool(row.hidden)))
        # The columns at the sheet's end, which LibreOffice gives a width of
        # its own as removed columns make room there, do not count.
        for letter, column in ws.column_dimensions.items():
            if column.customWidth or column.hidden:
                for index in range(column.min or 0, min(column.max or 0, 16300) + 1):
                    add("columns", (ws.title, index), (round(column.width, 2) if column.customWidth else None,
                                                       bool(column.hidden)))
        for merged in ws.merged_cells.ranges:
            add("merged", (ws.title, str(merged)), True)
        if ws.auto_filter.ref:
            add("autofilter", (ws.title,), norm(ws.auto_filter.ref))
        cell_facts(ws, add)
        rule_facts(ws, add)
        drawing_facts(ws, add)
    return found


def differences(ours, theirs, ignored):
    """Lines telling each difference of the kinds not ignored."""
    lines = []
    for kind in KINDS:
        if kind in ignored:
            continue
        a, b = ours[kind], theirs[kind]
        keys = a.keys() & b.keys() if kind in BOTH_ONLY else a.keys() | b.keys()
        for key in sorted(keys, key=repr):
            if key not in b:
                lines.append(f"{kind} {key}: ours {a[key]!r}, theirs has none")
            elif key not in a:
                lines.append(f"{kind} {key}: ours has none, theirs {b[key]!r}")
            elif a[key] != b[key]:
                lines.append(f"{kind} {key}: ours {a[key]!r}, theirs {b[key]!r}")
    return lines


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--show":
        for kind, found in facts(sys.argv[2]).items():
            for key in sorted(found, key=repr):
                print(f"{kind} {key}: {found[key]!r}")
        return 0
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("ours")
    parser.add_argument("theirs")
    parser.add_argument("--ignore", nargs="+", action="extend", default=[], choices=KINDS,
                        metavar="KIND", help="kinds not to compare (after the two files)")
    args = parser.parse_args()
    lines = differences(facts(args.ours), facts(args.theirs), set(args.ignore))
    for line in lines:
        print(line)
    return 1 if lines else 0


if __name__ == "__main__":
    sys.exit(main())
