#!/usr/bin/python3
"""Opens the workbook that an example program wrote with openpyxl and
compares what a reader finds there with what the example sets out to write
(the expectations below are written by hand from the examples' sources).

    check_examples.py NAME FILE
"""
import base64
import datetime
import hashlib
import io
import math
import re
import sys
import zipfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import openpyxl
from openpyxl.utils import column_index_from_string
from PIL import Image

failures = []


def close(actual, expected):
    """Equal, numbers within rounding of each other, lists element by element."""
    if isinstance(expected, float) and isinstance(actual, (int, float)):
        return math.isclose(actual, expected, rel_tol=1e-12)
    if isinstance(expected, (list, tuple)) and isinstance(actual, (list, tuple)):
        return len(actual) == len(expected) and all(close(a, e) for a, e in zip(actual, expected))
    return actual == expected


def same(what, actual, expected):
    if not close(actual, expected):
        failures.append(f"{what}: {actual!r} instead of {expected!r}")


def rows(sheet):
    return [list(row) for row in sheet.iter_rows(values_only=True)]


def column_width(sheet, letter):
    """The width a column shows; openpyxl files a range of columns under its first."""
    index = column_index_from_string(letter)
    for dimension in sheet.column_dimensions.values():
        if dimension.min and dimension.min <= index <= dimension.max and dimension.customWidth:
            return dimension.width
    return None


def rgb(color):
    return color.rgb if color is not None else None


def opens_with(password, algorithm, salt, hash_value, spin_count):
    """Whether the password gives the stored hash, as a spreadsheet program checks it."""
    if algorithm != "SHA-512" or not salt or not hash_value:
        return False
    digest = hashlib.sha512(base64.b64decode(salt) + password.encode("utf-16-le")).digest()
    for round_number in range(spin_count):
        digest = hashlib.sha512(digest + round_number.to_bytes(4, "little")).digest()
    return base64.b64encode(digest).decode() == hash_value


def text_of(title):
    return "".join(run.t for paragraph in title.tx.rich.p for run in (paragraph.r or []))


def firstworkbook(path):
    book = openpyxl.load_workbook(path)
    sheet = book.active
    same("sheets", book.sheetnames, ["Sheet1"])
    same("cells", rows(sheet), [
        ["Sample", "Sampled on", "Acidity", "Accepted"],
        ["Oil 1", datetime.datetime(2026, 3, 2), 0.42, True],
        ["Oil 2", datetime.datetime(2026, 3, 2), 0.95, False],
        ["Oil 3", datetime.datetime(2026, 3, 4), 0.61, True]])
    same("bold cells", [cell.coordinate for row in sheet.iter_rows() for cell in row if cell.font.b],
         ["A1", "B1", "C1", "D1"])
    same("B2's number format", sheet["B2"].number_format, "yyyy-mm-dd")
    same("widths of A to C", [column_width(sheet, letter) for letter in "ABC"], [14, 14, None])


def formats(path):
    sheet = openpyxl.load_workbook(path).active

    def style(cell):
        font, fill, alignment, border = cell.font, cell.fill, cell.alignment, cell.border
        return (cell.number_format, font.name, font.sz, bool(font.b), bool(font.i), rgb(font.color),
                # a solid fill shows what the file calls its foreground colour
                fill.patternType, rgb(fill.fgColor) if fill.patternType == "solid" else None,
                alignment.horizontal, alignment.vertical, bool(alignment.wrap_text), alignment.indent,
                [(side.style, rgb(side.color)) for side in (border.left, border.right, border.top, border.bottom)])

    grey = ("thin", "FFBFBFBF")
    same("merged ranges", [str(area) for area in sheet.merged_cells.ranges], ["A1:H1"])
    same("A1", sheet["A1"].value, "Olive oil quality, March 2026")
    title = ("General", "Arial", 16, True, False, "FF1F4E79", None, None, "center", "center", False, 0,
             [(None, None)] * 4)
    same("the title's style", style(sheet["A1"]), title)
    # openpyxl gives the other cells of a merged range no style of their
    # own; in the file each carries the title's.
    with zipfile.ZipFile(path) as package:
        main = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
        cells = ElementTree.fromstring(package.read("xl/worksheets/sheet1.xml")).iter(f"{main}c")
        styles = [cell.get("s") for cell in cells if re.fullmatch("[A-H]1", cell.get("r"))]
        same("the cells of A1:H1, and their different styles", (len(styles), len(set(styles))), (8, 1))
    same("the heights of rows 1 and 3", [sheet.row_dimensions[1].height, sheet.row_dimensions[3].height], [30, 30])
    same("the header", [cell.value for cell in sheet[3]],
         ["Sample", "Sampled on", "Measured at", "Acidity (%)", "Peroxides (meq/kg)", "Share of the lot",
          "Price per litre", "Remarks"])
    header = ("General", "Calibri", None, True, False, "FFFFFFFF", "solid", "FF1F4E79", "center", "center", True, 0,
              [grey, grey, grey, ("medium", "FF000000")])
    same("the header's style", [style(cell) for cell in sheet[3]], [header] * 8)
    same("row 4", [cell.value for cell in sheet[4]],
         ["Oil 1", datetime.datetime(2026, 3, 2), datetime.datetime(2026, 3, 2, 9, 30), 0.42, 1250.5, 0.125, 8.4,
          None])
    same("H5", sheet["H5"].value, "Above the limit for extra virgin oil; sampled again on 4 March.")

    def data(number_format, italic=False, colour=None, vertical=None, wrap=False, indent=0):
        return (number_format, "Calibri", None, False, italic, colour, None, None, None, vertical, wrap, indent,
                [grey] * 4)

    columns = [data("General", indent=1), data("dd/mm/yyyy"), data("yyyy-mm-dd hh:mm"), data("0.00"),
               data("#,##0.0"), data("0.0%"), data('#,##0.00 "EUR"'),
               data("General", italic=True, colour="FF595959", vertical="top", wrap=True)]
    for row in (4, 5, 6):
        same(f"row {row}'s styles", [style(cell) for cell in sheet[row]], columns)
    same("widths of A to H", [column_width(sheet, letter) for letter in "ABCDEFGH"], [10] + [16] * 6 + [36])


def formulas(path):
    book = openpyxl.load_workbook(path)
    values = openpyxl.load_workbook(path, data_only=True)
    same("sheets", book.sheetnames, ["Results", "Limits"])
    same("Limits", rows(book["Limits"]), [["Matrix", "Highest acidity"], ["Oil", 0.8], ["Wine", 0.6]])
    results = book["Results"]
    same("D3", results["D3"].value, "=VLOOKUP(B3,Limits!$A$2:$B$3,2,FALSE)")
    same("E5", results["E5"].value, '=IF(C5<=D5,"yes","no")')
    same("C7:C9", [results[cell].value for cell in ("C7", "C8", "C9")],
         ["=AVERAGE(C2:C5)", "=MAX(C2:C5)", '=COUNTIF(E2:E5,"yes")'])
    same("C7's number format", results["C7"].number_format, "0.000")
    # The values calculate() stored, which a reader that does not compute sees.
    computed = values["Results"]
    same("the values of D2:E5", [[computed[f"{column}{row}"].value for column in "DE"] for row in range(2, 6)],
         [[0.8, "yes"], [0.8, "no"], [0.6, "yes"], [0.6, "no"]])
    same("the values of C7:C9", [computed[cell].value for cell in ("C7", "C8", "C9")], [0.6575, 0.95, 2])


def chart(path):
    book = openpyxl.load_workbook(path)
    same("sheets", book.sheetnames, ["Samples", "Acidity"])
    same("chart sheets", [sheet.title for sheet in book.chartsheets], ["Acidity"])
    samples = book["Samples"]
    same("rows 1 and 7", [rows(samples)[0], rows(samples)[6]], [["Month", "Oil", "Wine", "Mean acidity"],
                                                                ["Jun", 14, 16, 0.59]])

    def series_of(one_chart):
        return [(one.val.numRef.f, one.cat.strRef.f, one.tx.strRef.f if one.tx.strRef else one.tx.v)
                for one in one_chart.series]

    charts = samples._charts
    same("charts on Samples", [type(one).__name__ + " " + str(getattr(one, "barDir", "")) for one in charts],
         ["BarChart col"])
    if charts:
        counts = charts[0]
        anchor = counts.anchor
        same("the column chart's anchor", (type(anchor).__name__, anchor._from.col, anchor._from.row),
             ("TwoCellAnchor", 5, 1))
        same("the column chart's titles and legend",
             [text_of(counts.title), text_of(counts.x_axis.title), text_of(counts.y_axis.title),
              counts.legend.position], ["Samples analysed by month", "Month", "Samples", "b"])
        same("the column chart's series", series_of(counts), [
            ("Samples!$B$2:$B$7", "Samples!$A$2:$A$7", "Samples!$B$1"),
            ("Samples!$C$2:$C$7", "Samples!$A$2:$A$7", "Samples!$C$1")])

    sheet_charts = book["Acidity"]._charts
    same("charts on the chart sheet", [type(one).__name__ for one in sheet_charts], ["LineChart"])
    if sheet_charts:
        acidity = sheet_charts[0]
        same("the line chart's title, legend and number format",
             [text_of(acidity.title), acidity.legend, acidity.y_axis.numFmt.formatCode],
             ["Mean acidity", None, "0.00"])
        same("the line chart's series", series_of(acidity),
             [("Samples!$D$2:$D$7", "Samples!$A$2:$A$7", "Mean acidity")])
        mean = acidity.series[0]
        same("the line's marker and colour", (mean.marker.symbol, mean.spPr.ln.solidFill.srgbClr),
             ("circle", "FF0000"))


def picture(path):
    sheet = openpyxl.load_workbook(path).active
    anchors = [image.anchor for image in sheet._images]
    same("pictures", [(type(anchor).__name__, anchor._from.col, anchor._from.row) for anchor in anchors],
         [("OneCellAnchor", 1, 1), ("TwoCellAnchor", 1, 9)])
    if len(anchors) == 2:
        emu = 9525   # to a pixel
        same("the first picture's size", (anchors[0].ext.width, anchors[0].ext.height), (240 * emu, 120 * emu))
        # Half size, 120 x 60 pixels from B10: 56 pixels into C (B is 64 wide), three rows of 20 down.
        end = anchors[1].to
        same("the second picture's far corner", (end.col, end.colOff, end.row, end.rowOff), (2, 56 * emu, 12, 0))
    with zipfile.ZipFile(path) as package:
        media = [name for name in package.namelist() if name.startswith("xl/media/")]
        same("stored pictures", media, ["xl/media/image1.png"])
        if media:
            logo = Image.open(io.BytesIO(package.read(media[0]))).convert("RGB")
            same("the stored picture's size", logo.size, (240, 120))
            same("card, olive and band", [logo.getpixel(point) for point in ((5, 5), (120, 48), (5, 110))],
                 [(255, 255, 255), (85, 140, 40), (31, 78, 121)])
        drawing = ElementTree.fromstring(package.read("xl/drawings/drawing1.xml"))
        same("descriptions", [element.get("descr") for element in drawing.iter()
                              if element.tag.endswith("}cNvPr")], ["Laboratory logo", "Laboratory logo, small"])


def rules(path):
    sheet = openpyxl.load_workbook(path).active
    found = []
    for formatting in sheet.conditional_formatting:
        for rule in formatting.rules:
            dxf = rule.dxf
            found.append((str(formatting.sqref), rule.type, rule.operator, rule.formula,
                          (bool(dxf.font.b), bool(dxf.font.i), rgb(dxf.font.color)) if dxf and dxf.font else None,
                          (dxf.fill.patternType, rgb(dxf.fill.fgColor)) if dxf and dxf.fill else None,
                          rgb(rule.dataBar.color) if rule.dataBar else None))
    same("conditional formats", sorted(found), [
        ("A2:A11", "expression", None, ['$B2="Wine"'], (False, True, "FF7030A0"), None, None),
        ("C2:C11", "cellIs", "greaterThan", ["0.8"], (True, False, "FFFF0000"), ("solid", "FFFFC7CE"), None),
        ("D2:D11", "dataBar", None, [], None, None, "FF638EC6")])
    validations = [(str(one.sqref), one.type, one.operator, one.formula1, one.formula2, one.errorStyle,
                    one.errorTitle, one.error, one.promptTitle, one.prompt)
                   for one in sheet.data_validations.dataValidation]
    same("validations", sorted(validations), [
        ("B2:B11", "list", None, '"Oil,Wine,Milk"', None, None, "Unknown matrix", "Choose Oil, Wine or Milk.",
         None, None),
        ("C2:C11", "decimal", None, "0", "100", None, None, "The acidity is a percentage from 0 to 100.",
         "Acidity", "A percentage, from 0 to 100."),
        ("E2:E11", "date", "greaterThanOrEqual", "DATE(2026,1,1)", None, "warning", None,
         "This sample was taken before 2026.", None, None)])
    same("B4 and E11", [sheet["B4"].value, sheet["E11"].value], ["Wine", datetime.datetime(2026, 3, 11)])


def notes(path):
    sheet = openpyxl.load_workbook(path).active
    same("notes", [(cell.coordinate, cell.comment.text, cell.comment.author)
                   for row in sheet.iter_rows() for cell in row if cell.comment], [
        ("A2", "Sampled at the mill, not at the warehouse.", "Maria Rossi"),
        ("A3", "Rejected: the acidity is above the limit of 0.8.", "Maria Rossi"),
        ("B3", "Measured again on 4 March: 0.93.", "Luca Bianchi")])
    with zipfile.ZipFile(path) as package:
        main = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
        comments = ElementTree.fromstring(package.read("xl/comments1.xml"))
        runs = [(run.find(f"{main}t").text, run.find(f"{main}rPr/{main}b") is not None,
                 run.find(f"{main}rPr/{main}color").get("rgb") if run.find(f"{main}rPr/{main}color") is not None
                 else None)
                for comment in comments.iter(f"{main}comment") if comment.get("ref") == "A3"
                for run in comment.iter(f"{main}r")]
        same("the runs of A3's note", runs, [("Rejected:", True, "FFFF0000"),
                                             (" the acidity is above the limit of 0.8.", False, None)])
        # Which note boxes show all the time: (row, column) from 0, and whether visible.
        vml = package.read("xl/drawings/vmlDrawing1.vml").decode()
        shapes = [(int(re.search(r"<x:Row>(\d+)", shape).group(1)), int(re.search(r"<x:Column>(\d+)", shape).group(1)),
                   "<x:Visible/>" in shape) for shape in vml.split("<v:shape ")[1:]]
        same("visible notes", sorted(shapes), [(1, 0, False), (2, 0, False), (2, 1, True)])


def editing(path):
    book = openpyxl.load_workbook(path)
    values = openpyxl.load_workbook(path, data_only=True)
    same("sheets", book.sheetnames, ["Results 2026", "Summary"])
    same("Results 2026", rows(book["Results 2026"]), [
        ["Sample", "Acidity"], ["Oil 1", 0.42], ["Oil 4", 0.47], ["Oil 5", 0.52], ["Oil 2", 0.95],
        ["Oil 3", 0.61], ["Mean", "=AVERAGE(B2:B6)"]])
    same("Summary", rows(book["Summary"]), [["Mean acidity", "='Results 2026'!B7"]])
    same("bold cells kept", [cell.coordinate for row in book["Results 2026"].iter_rows() for cell in row
                             if cell.font.b], ["A1", "B1", "A7"])
    same("the calculated means", [values["Results 2026"]["B7"].value, values["Summary"]["B1"].value],
         [0.594, 0.594])
    # The workbook it started from, beside it, as it was written.
    source = Path(path).with_name(Path(path).stem + "-input.xlsx")
    original = openpyxl.load_workbook(source)
    same("the input's sheets", original.sheetnames, ["Sheet1", "Summary"])
    same("the input's formulas", [original["Sheet1"]["B5"].value, original["Summary"]["B1"].value],
         ["=AVERAGE(B2:B4)", "=Sheet1!B5"])


def largefile(path):
    sheet = openpyxl.load_workbook(path, read_only=True).active
    count = 0
    total = 0
    out_of_order = None
    for number, row in enumerate(sheet.iter_rows(values_only=True)):
        if number == 0:
            same("the header", list(row), ["Sample", "Weight (g)"])
            continue
        count += 1
        total += row[1]
        if out_of_order is None and list(row) != [f"S-{number:06d}", number]:
            out_of_order = (number + 1, list(row))
    same("rows under the header", count, 100000)
    same("the sum of the weights", total, 5000050000)
    same("the first row that is not S-n, n", out_of_order, None)


def table(path):
    sheet = openpyxl.load_workbook(path).active
    values = openpyxl.load_workbook(path, data_only=True).active
    same("tables", list(sheet.tables), ["Results"])
    if "Results" not in sheet.tables:
        return
    results = sheet.tables["Results"]
    style = results.tableStyleInfo
    # The filter buttons cover the header and the data, not the totals row.
    same("the range, its filter, its totals row and style",
         (results.ref, results.autoFilter.ref if results.autoFilter else None, results.totalsRowCount,
          style.name, style.showRowStripes, style.showColumnStripes),
         ("A1:E6", "A1:E5", 1, "TableStyleMedium9", True, False))
    same("the columns", [(column.name, column.totalsRowLabel, column.totalsRowFunction,
                          column.calculatedColumnFormula.attr_text if column.calculatedColumnFormula else None)
                         for column in results.tableColumns], [
        ("Sample", "Mean", None, None), ("Sampled on", None, None, None), ("Acidity", None, "average", None),
        ("Peroxides", None, "average", None),
        ("Acidity (mg/100 g)", None, "average", "Results[[#This Row],[Acidity]]*1000")])
    same("the header and the totals row", [rows(sheet)[0], rows(sheet)[5]], [
        ["Sample", "Sampled on", "Acidity", "Peroxides", "Acidity (mg/100 g)"],
        ["Mean", None, "=SUBTOTAL(101,Results[Acidity])", "=SUBTOTAL(101,Results[Peroxides])",
         "=SUBTOTAL(101,Results[Acidity (mg/100 g)])"]])
    same("E2 and E5", [sheet["E2"].value, sheet["E5"].value],
         ["=Results[[#This Row],[Acidity]]*1000", "=Results[[#This Row],[Acidity]]*1000"])
    # The values calculate() stored, and the formats the cells had before.
    same("the calculated column's values", [values[f"E{row}"].value for row in range(2, 6)],
         [420.0, 950.0, 610.0, 380.0])
    same("the totals' values", [values[cell].value for cell in ("C6", "D6", "E6")], [0.59, 7.925, 590.0])
    same("number formats of row 2 and the totals", [sheet[cell].number_format for cell in ("B2", "E2", "C6", "E6")],
         ["dd/mm/yyyy", "0", "0.00", "0"])


def pagesetup(path):
    sheet = openpyxl.load_workbook(path).active
    page = sheet.page_setup
    same("paper, orientation and pages wide and tall",
         (page.paperSize, page.orientation, page.fitToWidth, page.fitToHeight,
          sheet.sheet_properties.pageSetUpPr.fitToPage if sheet.sheet_properties.pageSetUpPr else None),
         (9, "portrait", 1, 0, True))
    margins = sheet.page_margins
    same("margins", (margins.left, margins.right, margins.top, margins.bottom, margins.header, margins.footer),
         (0.5, 0.5, 1.0, 0.8, 0.4, 0.3))
    same("centred horizontally, gridlines",
         (sheet.print_options.horizontalCentered, sheet.print_options.verticalCentered, sheet.print_options.gridLines),
         (True, None, True))
    header, footer = sheet.HeaderFooter.oddHeader, sheet.HeaderFooter.oddFooter
    same("the header and footer",
         [header.left.text, header.center.text, header.right.text, footer.left.text, footer.center.text,
          footer.right.text],
         [None, "&BAcidity and peroxides&B, March and April 2026", "Printed &D", "&F", None, "Page &P of &N"])
    # The file counts a break by the last row before it: 31 for April's row 32.
    same("row breaks", [(brk.id, brk.man) for brk in sheet.row_breaks.brk], [(31, True)])
    # The names Sheet1!$1:$1 and Sheet1!$A$1:$F$61, as openpyxl gives them.
    same("print titles and area", (sheet.print_title_rows, sheet.print_title_cols, sheet.print_area),
         ("$1:$1", None, ["$A$1:$F$61"]))


def protection(path):
    book = openpyxl.load_workbook(path)
    values = openpyxl.load_workbook(path, data_only=True).active
    sheet = book.active
    same("sheets", book.sheetnames, ["Input"])
    guard = sheet.protection
    # openpyxl names each action as the file does: true for what is locked.
    locked = [name for name in ("formatCells", "formatColumns", "formatRows", "insertColumns", "insertRows",
                                "insertHyperlinks", "deleteColumns", "deleteRows", "selectLockedCells",
                                "selectUnlockedCells", "sort", "autoFilter", "pivotTables", "objects", "scenarios")
              if getattr(guard, name)]
    same("the sheet protected", guard.sheet, True)
    same("what stays locked", locked, ["formatCells", "formatRows", "insertColumns", "insertRows",
                                       "insertHyperlinks", "deleteColumns", "deleteRows", "autoFilter",
                                       "pivotTables", "objects", "scenarios"])
    sheet_hash = (guard.algorithmName, guard.saltValue, guard.hashValue, guard.spinCount)
    same("the sheet opens with its password, not another",
         [opens_with(password, *sheet_hash) for password in ("olive-2026", "olive")], [True, False])
    security = book.security
    same("the structure locked", security.lockStructure if security else None, True)
    if security:
        book_hash = (security.workbookAlgorithmName, security.workbookSaltValue, security.workbookHashValue,
                     security.workbookSpinCount)
        same("the structure opens with its password, not another",
             [opens_with(password, *book_hash) for password in ("olive-2026", "")], [True, False])
    cells = [cell for row in sheet.iter_rows(min_row=1, max_row=9, max_col=4) for cell in row]
    same("unlocked cells", [cell.coordinate for cell in cells if not cell.protection.locked],
         [f"{column}{row}" for row in range(2, 10) for column in "BC"])
    same("hidden cells", [cell.coordinate for cell in cells if cell.protection.hidden],
         [f"D{row}" for row in range(2, 10)])
    same("the verdicts", [values[f"D{row}"].value for row in range(2, 5)], ["yes", "no", None])


def autofit(path):
    sheet = openpyxl.load_workbook(path).active
    # Widths in characters, measured from fonts: bounds rather than exact numbers.
    width = {letter: column_width(sheet, letter) or 0 for letter in "ABCDEF"}
    expectations = {
        "every column given a width of 3 to 80 characters": all(3 <= one <= 80 for one in width.values()),
        "B, with a text of 55 characters, the widest and over 40": max(width, key=width.get) == "B" and width["B"] > 40,
        # A's long title is merged across A1:F1; its codes and header are short.
        "A and E, short texts and numbers, narrow": width["A"] < 10 and width["E"] < 12,
        # "Wednesday 2 September 2026" as the number format shows it, not the serial number.
        "C wide enough for a date in words": width["C"] >= 20,
        'D fitting "1,234,567.50 EUR" and not much more': 13 <= width["D"] <= 25,
        # Two lines of 20 and 21 characters: the longest line, not the 42 of the text.
        "F as wide as the longest line of its remark": 14 <= width["F"] <= 28,
    }
    for what, holds in expectations.items():
        if not holds:
            failures.append(f"{what}: widths {width}")


CHECKS = {check.__name__: check for check in (firstworkbook, formats, formulas, chart, picture, rules, notes,
                                              editing, largefile, table, pagesetup, protection,
                                              autofit)}

if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: check_examples.py {{{','.join(CHECKS)}}} FILE")
    name, file = sys.argv[1:]
    CHECKS[name](file)
    for failure in failures:
        print(f"{file}: {failure}")
    if failures:
        sys.exit(1)
    print(f"{file} reads as the {name} example means it to")
