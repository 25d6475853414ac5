#!/usr/bin/python3
"""What openpyxl reads of a workbook's conditional formats, validation,
notes, names, panes and filters: one line each, sorted.

read_rules.py BOOK
"""
import sys

import openpyxl


def colour(fill):
    if fill is None or fill.fgColor is None or fill.fgColor.rgb is None:
        return "-"
    return str(fill.fgColor.rgb) if fill.patternType else "-"


def rule_line(sheet, ranges, rule, book):
    words = [f"rule {sheet.title} {ranges} {rule.type} p{rule.priority}"]
    for name in ("operator", "text", "timePeriod", "rank"):
        value = getattr(rule, name)
        if value is not None:
            words.append(f"{name}={value}")
    for name in ("percent", "bottom", "stopIfTrue", "equalAverage"):
        if getattr(rule, name):
            words.append(name)
    if rule.aboveAverage is False:
        words.append("below")
    if rule.formula:
        words.append("[" + "|".join(rule.formula) + "]")
    if rule.dxfId is not None:
        words.append("fill=" + colour(book._differential_styles[rule.dxfId].fill))
    if rule.colorScale is not None:
        words.append("scale " + " ".join(f"{v.type}:{v.val}" for v in rule.colorScale.cfvo)
                     + " " + " ".join(str(c.rgb) for c in rule.colorScale.color))
    if rule.dataBar is not None:
        words.append("bar " + " ".join(f"{v.type}:{v.val}" for v in rule.dataBar.cfvo)
                     + f" {rule.dataBar.color.rgb} showValue={rule.dataBar.showValue}")
    if rule.iconSet is not None:
        icons = rule.iconSet
        words.append(f"icons {icons.iconSet} " + " ".join(f"{v.type}:{v.val}" for v in icons.cfvo)
                     + f" reverse={icons.reverse} showValue={icons.showValue}")
    return " ".join(words)


def validation_line(sheet, validation):
    words = [f"validation {sheet.title} {validation.sqref} {validation.type} {validation.operator}",
             f"[{validation.formula1}|{validation.formula2}]", f"blank={validation.allow_blank}",
             f"hideDropDown={validation.showDropDown}", f"input={validation.showInputMessage}:{validation.promptTitle}:{validation.prompt}",
             f"error={validation.showErrorMessage}:{validation.errorStyle}:{validation.errorTitle}:{validation.error}"]
    return " ".join(words)


def main(path):
    book = openpyxl.load_workbook(path)
    lines = []
    for sheet in book.worksheets:
        for ranges, rules in sheet.conditional_formatting._cf_rules.items():
            lines += [rule_line(sheet, ranges.sqref, rule, book) for rule in rules]
        lines += [validation_line(sheet, v) for v in sheet.data_validations.dataValidation]
        for row in sheet.iter_rows():
            for cell in row:
                if cell.comment is not None:
                    lines.append(f"note {sheet.title} {cell.coordinate} {cell.comment.author}: {cell.comment.text}")
        pane = sheet.sheet_view.pane
        if pane is not None:
            lines.append(f"pane {sheet.title} {pane.state} {pane.xSplit} {pane.ySplit} {pane.topLeftCell} {pane.activePane}")
        if sheet.auto_filter.ref:
            lines.append(f"filter {sheet.title} {sheet.auto_filter.ref}")
        if sheet.print_area:
            lines.append(f"print area {sheet.title} {sheet.print_area}")
        if sheet.print_title_rows or sheet.print_title_cols:
            lines.append(f"print titles {sheet.title} {sheet.print_title_rows} {sheet.print_title_cols}")
    for name in book.defined_names.definedName:
        lines.append(f"name {name.name} {name.localSheetId} {name.attr_text}")
    print("\n".join(sorted(lines)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
