#!/usr/bin/python3
"""What other programs find in the workbooks the loading tests load and save.

    check_workbooks.py dump FILE
        every sheet with its state and every cell's value (as openpyxl reads
        the cached values) and formula, as JSON, for the test to compare with
        what the document read
    check_workbooks.py compare ORIGINAL SAVED
        the saved package against the loaded one: every part of the original
        is there (byte for byte where the library does not model it), every
        relationship of the original is there, nothing points at a part that
        is missing, and openpyxl finds the same sheets, cells, formulas,
        names, merges, notes, validations, conditional formats, pictures and
        charts
    check_workbooks.py looks FILE SHEET CELL SHEET CELL
        two cells look the same (font, fill, border, number format, alignment)
Exits 1 with the differences printed when something is wrong.
"""
import datetime
import json
import posixpath
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

import warnings

import openpyxl

# What openpyxl itself does not read is not the question here.
warnings.simplefilter("ignore")

RELATIONSHIPS = "{http://schemas.openxmlformats.org/package/2006/relationships}"
OFFICE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
# Parts the library writes anew from its model.
MODELED_TYPES = {OFFICE + kind for kind in ("worksheet", "sharedStrings", "styles", "theme", "calcChain",
                                            "extended-properties", "officeDocument", "hyperlink")}
MODELED_TYPES.add("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties")


def plain(value):
    if isinstance(value, datetime.datetime):
        return ["date", value.isoformat()]
    if isinstance(value, datetime.time):
        return ["date", datetime.datetime.combine(datetime.date(1899, 12, 31), value).isoformat()]
    if isinstance(value, bool):
        return ["bool", value]
    if isinstance(value, (int, float)):
        return ["number", float(value)]
    return ["text", str(value)]


def dump(path):
    values = openpyxl.load_workbook(path, data_only=True)
    formulas = openpyxl.load_workbook(path)
    sheets = []
    for sheet in values.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                formula = formulas[sheet.title][cell.coordinate].value
                text = formula.text if hasattr(formula, "text") else formula
                formula = text[1:] if isinstance(text, str) and text.startswith("=") else None
                if cell.value is None and formula is None:
                    continue
                cells[cell.coordinate] = [plain(cell.value) if cell.value is not None else None, formula]
        sheets.append({"name": sheet.title, "state": sheet.sheet_state, "cells": cells})
    return sheets


def resolve(folder, target):
    """The part a relationship target names, seen from a folder."""
    if target.startswith("/"):
        return target.lstrip("/")
    return posixpath.normpath(posixpath.join(folder, target)).lstrip("/")


def relationships(archive, source):
    """(type, target part or external URL) of a part's relationships."""
    folder, name = posixpath.split(source)
    rels = posixpath.join(folder, "_rels", name + ".rels")
    if rels not in archive.namelist():
        return set()
    found = set()
    for relationship in ElementTree.fromstring(archive.read(rels)).iter(RELATIONSHIPS + "Relationship"):
        target = relationship.get("Target")
        if relationship.get("TargetMode") != "External":
            target = resolve(folder, target)
        found.add((relationship.get("Type"), target))
    return found


def sheet_parts(archive):
    """Sheet name -> its part, by the workbook's relationships."""
    workbook = next(target for kind, target in relationships(archive, "") if kind == OFFICE + "officeDocument")
    ids = {}
    folder = posixpath.dirname(workbook)
    for relationship in ElementTree.fromstring(archive.read(posixpath.join(folder, "_rels",
                                               posixpath.basename(workbook) + ".rels"))).iter(RELATIONSHIPS + "Relationship"):
        ids[relationship.get("Id")] = resolve(folder, relationship.get("Target"))
    main = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    parts = {}
    for sheet in ElementTree.fromstring(archive.read(workbook)).iter(main + "sheet"):
        parts[sheet.get("name")] = ids[sheet.get("{" + OFFICE[:-1] + "}id")]
    return parts


def custom_properties(archive):
    """The custom properties of a package: name, value kind and text, in order."""
    return [(p.get("name"), p[0].tag.split("}")[1] if len(p) else None, p[0].text if len(p) else None)
            for p in ElementTree.fromstring(archive.read("docProps/custom.xml"))]


def compare_packages(original_path, saved_path, failures):
    original = zipfile.ZipFile(original_path)
    saved = zipfile.ZipFile(saved_path)
    if saved.testzip():
        failures.append("a CRC of the saved package is wrong")
    original_sheets = sheet_parts(original)
    saved_sheets = sheet_parts(saved)
    renamed = {part: saved_sheets.get(name) for name, part in original_sheets.items()}
    workbook = next(target for kind, target in relationships(original, "") if kind == OFFICE + "officeDocument")
    modeled = {target for kind, target in relationships(original, workbook) if kind in MODELED_TYPES}
    modeled |= {"[Content_Types].xml", "_rels/.rels", "docProps/core.xml", "docProps/app.xml", "xl/workbook.xml",
                "xl/_rels/workbook.xml.rels", "docProps/custom.xml"}
    if "docProps/custom.xml" in original.namelist():
        if "docProps/custom.xml" not in saved.namelist():
            failures.append("docProps/custom.xml is missing")
        elif custom_properties(original) != custom_properties(saved):
            failures.append(f"the custom properties changed: {custom_properties(original)} became {custom_properties(saved)}")
    for name in original.namelist():
        if name.endswith("/") or name in modeled or "calcChain" in name:
            continue
        if name in renamed:
            if renamed[name] is None:
                failures.append(f"the sheet of {name} is missing")
            continue
        if name.endswith(".rels"):
            continue
        if name not in saved.namelist():
            failures.append(f"{name} is missing")
        elif original.read(name) != saved.read(name):
            failures.append(f"{name} changed")
    # Every relationship of the original, its source and target renamed as the sheets were.
    for source in [""] + original.namelist():
        if source.endswith(".rels") or source.endswith("/"):
            continue
        saved_source = renamed.get(source) or source
        before = {(kind, renamed.get(target) or target) for kind, target in relationships(original, source)
                  if "calcChain" not in kind}
        after = relationships(saved, saved_source)
        for relationship in before - after:
            failures.append(f"{saved_source} lost its relationship {relationship}")
    check_package(saved, failures)


def check_package(archive, failures):
    names = set(archive.namelist())
    types = ElementTree.fromstring(archive.read("[Content_Types].xml"))
    ns = "{http://schemas.openxmlformats.org/package/2006/content-types}"
    defaults = {d.get("Extension").lower() for d in types.iter(ns + "Default")}
    overrides = {o.get("PartName").lstrip("/") for o in types.iter(ns + "Override")}
    for name in names:
        if name not in overrides and name.rsplit(".", 1)[-1].lower() not in defaults:
            failures.append(f"{name} has no media type")
    for override in overrides - names:
        failures.append(f"the media type of {override} names no part")
    for source in [""] + sorted(names):
        if source.endswith(".rels"):
            continue
        for kind, target in relationships(archive, source):
            if "://" not in target and not target.startswith("mailto:") and target not in names:
                failures.append(f"{source or 'the package'} points at {target}, which is missing")


def model_of(path):
    book = openpyxl.load_workbook(path)
    model = {"sheets": [(s.title, s.sheet_state) for s in book.worksheets],
             "names": sorted((n.name, n.localSheetId, n.attr_text) for n in book.defined_names.definedName)}
    for sheet in book.worksheets:
        model[sheet.title] = {
            "merged": sorted(str(r) for r in sheet.merged_cells.ranges),
            "notes": sorted((c.coordinate, c.comment.text) for row in sheet.iter_rows() for c in row if c.comment),
            "links": sorted((c.coordinate, c.hyperlink.target, c.hyperlink.location)
                            for row in sheet.iter_rows() for c in row if c.hyperlink),
            "validations": len(sheet.data_validations.dataValidation),
            "conditional formats": len(list(sheet.conditional_formatting)),
            "pictures": len(sheet._images),
            "charts": len(sheet._charts),
            "panes": sheet.freeze_panes,
            "filter": sheet.auto_filter.ref,
            "tables": sorted(sheet.tables.keys()),
        }
    return model


def compare(original, saved):
    failures = []
    compare_packages(original, saved, failures)
    before_cells, after_cells = dump(original), dump(saved)
    for before_sheet, after_sheet in zip(before_cells, after_cells):
        for coordinate in sorted(set(before_sheet["cells"]) | set(after_sheet["cells"])):
            if before_sheet["cells"].get(coordinate) != after_sheet["cells"].get(coordinate):
                failures.append(f"{before_sheet['name']}!{coordinate}: {before_sheet['cells'].get(coordinate)} "
                                f"became {after_sheet['cells'].get(coordinate)}")
    before, after = model_of(original), model_of(saved)
    for key in before:
        if before[key] != after.get(key):
            failures.append(f"{key}: {before[key]} became {after.get(key)}")
    return failures


def looks(path, first_sheet, first_cell, second_sheet, second_cell):
    book = openpyxl.load_workbook(path)
    a, b = book[first_sheet][first_cell], book[second_sheet][second_cell]
    failures = []
    for part in ("font", "fill", "border", "alignment", "protection"):
        if repr(getattr(a, part)) != repr(getattr(b, part)):
            failures.append(f"{part}: {getattr(a, part)!r} and {getattr(b, part)!r}")
    if a.number_format != b.number_format:
        failures.append(f"number format: {a.number_format} and {b.number_format}")
    return failures


def main():
    command = sys.argv[1]
    if command == "dump":
        print(json.dumps(dump(sys.argv[2])))
        return 0
    failures = compare(sys.argv[2], sys.argv[3]) if command == "compare" else looks(*sys.argv[2:7])
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
