#!/usr/bin/python3
"""What readers see of a workbook's pictures and charts.

read_drawings.py pictures BOOK   openpyxl's view of every picture and chart, a line each
read_drawings.py colours PDF     per rendered page, how many pixels are pure red,
                                 pure blue, and how many other strong hues show
"""
import json
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

import openpyxl
from PIL import Image


def place(anchor_marker):
    return f"{openpyxl.utils.get_column_letter(anchor_marker.col + 1)}{anchor_marker.row + 1}" \
           f"+{anchor_marker.colOff}+{anchor_marker.rowOff}"


def anchor_of(anchor):
    kind = type(anchor).__name__
    words = [kind]
    if kind == "AbsoluteAnchor":
        words.append(f"at {anchor.pos.x},{anchor.pos.y}")
    else:
        words.append(place(anchor._from))
    if kind == "TwoCellAnchor":
        words.append("to " + place(anchor.to))
    else:
        words.append(f"{anchor.ext.width}x{anchor.ext.height}")
    return " ".join(words)


def title_of(title):
    if title is None or title.tx is None or title.tx.rich is None:
        return ""
    return "/".join("".join(run.t for run in (paragraph.r or [])) for paragraph in title.tx.rich.p)


def series_of(one):
    values = one.val or one.yVal
    categories = one.cat or one.xVal
    text = values.numRef.f
    if categories is not None:
        text += " by " + (categories.numRef or categories.strRef).f
    return text


def pictures(path):
    """One line per picture, chart and media part, sorted."""
    book = openpyxl.load_workbook(path)
    lines = []
    for sheet in book.worksheets + book.chartsheets:
        for image in getattr(sheet, "_images", []):
            lines.append(f"picture {sheet.title} {anchor_of(image.anchor)} {image.format} {image.width}x{image.height}")
        for chart in sheet._charts:
            grouping = getattr(chart, "grouping", None)
            kind = type(chart).__name__ + (f"({grouping})" if grouping and grouping != "standard" else "")
            series = "; ".join(series_of(one) for one in chart.series)
            lines.append(f"chart {sheet.title} {kind} \"{title_of(chart.title)}\" {series}")
    with zipfile.ZipFile(path) as package:
        lines += ["media " + name for name in package.namelist() if name.startswith("xl/media/")]
    print("\n".join(sorted(lines)))
    return 0


def colours(pdf):
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-r", "50", "-png", pdf, str(Path(folder) / "page")], check=True)
        pages = []
        for page in sorted(Path(folder).glob("page-*.png")):
            image = Image.open(page).convert("RGB")
            red = blue = 0
            hues = set()
            for r, g, b in image.getdata():
                if r > 230 and g < 40 and b < 40:
                    red += 1
                elif b > 230 and r < 40 and g < 40:
                    blue += 1
                elif max(r, g, b) - min(r, g, b) > 80:
                    hues.add((r // 32, g // 32, b // 32))
            pages.append({"red": red, "blue": blue, "hues": len(hues)})
    print(json.dumps(pages))
    return 0


if __name__ == "__main__":
    sys.exit(pictures(sys.argv[2]) if sys.argv[1] == "pictures" else colours(sys.argv[2]))
