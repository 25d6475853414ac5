#!/usr/bin/python3
"""Has LibreOffice Calc, a spreadsheet program that is not ours, apply row,
column and sheet edits to workbooks, compute their formulas, tell what it
makes of a sheet or print it, so that the tests can compare what our
library does with what it does.

Usage: edit_in_libreoffice.py JOBS.json

JOBS.json holds a list of jobs, done in order by one headless LibreOffice:
  {"input": IN.xlsx, "output": OUT.xlsx, "edits": [EDIT, ...]}
      loads IN, applies the edits in order, saves OUT as xlsx. An edit is one of
      {"op": "insertRows",    "sheet": S, "row": R, "count": N}  N empty rows before row R
      {"op": "removeRows",    "sheet": S, "row": R, "count": N}  rows R..R+N-1
      {"op": "insertColumns", "sheet": S, "column": C, "count": N}
      {"op": "removeColumns", "sheet": S, "column": C, "count": N}
      {"op": "rename", "sheet": S, "name": NEW}
      {"op": "delete", "sheet": S}
      {"op": "calculate"}  every formula computed, its value stored with it
      {"op": "addPivot", "sheet": S, "cell": "A12", "source": SRC, "range": "A1:D20", "name": NAME}
          a pivot table NAME at S!A12 over SRC!A1:D20 (first row headers): the
          first column as row field, the sum of the second as data field
      (rows and columns count from 1)
  {"recalculate": IN.xlsx, "values": OUT.json}
      loads IN, recalculates every formula and writes
      {sheet: {"A1": value, ...}} for every cell that is not empty: numbers as
      floats, texts as texts, errors as the text LibreOffice shows ("#REF!").
  {"inspect": IN.xlsx, "sheet": S, "facts": OUT.json, ...}
      loads IN and writes what LibreOffice makes of sheet S:
        "cells": [A1, ...]       whether each is locked ("locked": {A1: bool})
        "password": P            whether the sheet is protected, whether a
                                 wrong password is refused and P accepted
        "optimalColumns": [C, ...]  the width LibreOffice chooses for each
                                 column (1-based) to fit its cells, in
                                 hundredths of a millimetre
                                 ("optimalWidths": {C: width})
  {"pdf": IN.xlsx, "output": OUT.pdf}
      loads IN and prints it to OUT as PDF.
  {"csv": IN.xlsx, "sheet": S, "output": OUT.csv}
      loads IN and saves sheet S as CSV (UTF-8, commas, cells as shown).

Exits with 1 and a message on stderr when LibreOffice cannot be started or a
job fails; LibreOffice is always stopped at the end.
"""
import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

START_TIMEOUT = 60  # seconds; a cold start on a busy machine takes a few


def props(**values):
    """A tuple of PropertyValue, the form UNO calls take options in."""
    return tuple(PropertyValue(Name=k, Value=v) for k, v in values.items())


def start_office(profile):
    """Starts a headless LibreOffice of its own (own profile, own pipe) in a
    process group of its own, and waits until it answers. Returns
    (process, desktop)."""
    pipe = f"edit_in_libreoffice_{os.getpid()}"
    process = subprocess.Popen(
        ["soffice", "--headless", "--invisible", "--nologo", "--norestore",
         "--nodefault", "--nolockcheck",
         f"-env:UserInstallation={pathlib.Path(profile).as_uri()}",
         f"--accept=pipe,name={pipe};urp;StarOffice.ComponentContext"],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=open(os.path.join(profile, "stderr"), "wb"), start_new_session=True)
    resolver = uno.getComponentContext().ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", uno.getComponentContext())
    deadline = time.monotonic() + START_TIMEOUT
    while True:
        try:
            context = resolver.resolve(
                f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
            return process, context.ServiceManager.createInstanceWithContext(
                "com.sun.star.frame.Desktop", context)
        except NoConnectException:
            if process.poll() is not None:
                stop_office(process, None)
                log = pathlib.Path(profile, "stderr").read_text(errors="replace")
                raise RuntimeError(f"LibreOffice exited at start-up: {log}")
            if time.monotonic() > deadline:
                stop_office(process, None)
                raise RuntimeError(f"LibreOffice did not answer within {START_TIMEOUT} s")
            time.sleep(0.25)


def stop_office(process, desktop):
    """Asks LibreOffice to quit, then ends its process group (it runs a
    launcher and the office itself) if it is still there."""
    if desktop is not None:
        try:
            desktop.terminate()
        except Exception:  # the bridge dies with the office; that is the aim
            pass
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        pass
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def load(desktop, path):
    """Opens a workbook hidden, without updating links or running macros."""
    if not os.path.isfile(path):
        raise RuntimeError(f"no such file: {path}")
    document = desktop.loadComponentFromURL(
        pathlib.Path(path).resolve().as_uri(), "_blank", 0,
        props(Hidden=True, UpdateDocMode=0, MacroExecutionMode=0))
    if document is None:
        raise RuntimeError(f"LibreOffice could not open {path}")
    return document


def apply_edit(document, edit):
    """Applies one edit of the job list to an open document."""
    if edit["op"] == "calculate":
        document.calculateAll()
        return
    sheets = document.Sheets
    op, name = edit["op"], edit["sheet"]
    if not sheets.hasByName(name):
        raise RuntimeError(f"no sheet named {name!r}")
    sheet = sheets.getByName(name)
    if op in ("insertRows", "removeRows"):
        lines, index = sheet.Rows, edit["row"] - 1
    elif op in ("insertColumns", "removeColumns"):
        lines, index = sheet.Columns, edit["column"] - 1
    elif op == "rename":
        sheet.setName(edit["name"])
        return
    elif op == "delete":
        sheets.removeByName(name)
        return
    elif op == "addPivot":
        add_pivot(sheets, sheet, edit)
        return
    else:
        raise RuntimeError(f"unknown edit {op!r}")
    if op.startswith("insert"):
        lines.insertByIndex(index, edit["count"])
    else:
        lines.removeByIndex(index, edit["count"])


def add_pivot(sheets, sheet, edit):
    """Adds the pivot table (DataPilot) of an "addPivot" edit to sheet."""
    from com.sun.star.sheet.DataPilotFieldOrientation import ROW, DATA
    from com.sun.star.sheet.GeneralFunction import SUM
    if not sheets.hasByName(edit["source"]):
        raise RuntimeError(f"no sheet named {edit['source']!r}")
    source = sheets.getByName(edit["source"]).getCellRangeByName(edit["range"])
    tables = sheet.getDataPilotTables()
    descriptor = tables.createDataPilotDescriptor()
    descriptor.setSourceRange(source.getRangeAddress())
    # Without this, LibreOffice puts a filter button at the cell and the
    # table two rows below it.
    descriptor.ShowFilterButton = False
    fields = descriptor.getDataPilotFields()
    fields.getByIndex(0).Orientation = ROW
    data = fields.getByIndex(1)
    data.Orientation = DATA
    data.Function = SUM
    target = sheet.getCellRangeByName(edit["cell"]).getCellAddress()
    tables.insertNewByName(edit["name"], target, descriptor)


def cell_name(column, row):
    """A1-style name of a 0-based column and row."""
    letters = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        letters = chr(65 + rest) + letters
    return f"{letters}{row + 1}"


def computed_values(document):
    """{sheet: {cell: value}} of every non-empty cell after a hard
    recalculation."""
    from com.sun.star.table.CellContentType import EMPTY, TEXT, FORMULA
    from com.sun.star.sheet.FormulaResult import VALUE
    document.calculateAll()
    result = {}
    for sheet in document.Sheets:
        cursor = sheet.createCursor()
        cursor.gotoEndOfUsedArea(False)
        last = cursor.RangeAddress
        cells = result[sheet.Name] = {}
        for row in range(last.EndRow + 1):
            for column in range(last.EndColumn + 1):
                cell = sheet.getCellByPosition(column, row)
                kind = cell.Type
                if kind == EMPTY:
                    continue
                if kind == FORMULA and cell.getError():
                    value = cell.getString()
                elif kind == TEXT or (kind == FORMULA and cell.FormulaResultType2 != VALUE):
                    value = cell.getString()
                else:
                    value = float(cell.getValue())
                cells[cell_name(column, row)] = value
    return result


def inspect(document, job):
    """The facts an "inspect" job asks for about one sheet."""
    sheet = document.Sheets.getByName(job["sheet"])
    facts = {}
    if "cells" in job:
        facts["locked"] = {name: bool(sheet.getCellRangeByName(name).CellProtection.IsLocked)
                           for name in job["cells"]}
    if "optimalColumns" in job:
        widths = {}
        for number in job["optimalColumns"]:
            column = sheet.Columns.getByIndex(number - 1)
            column.OptimalWidth = True
            widths[str(number)] = column.Width
        facts["optimalWidths"] = widths
    if "password" in job:
        facts["protected"] = bool(sheet.isProtected())
        try:
            sheet.unprotect(job["password"] + "-wrong")
            facts["wrongPasswordRefused"] = False
        except Exception:  # LibreOffice refuses with an exception
            facts["wrongPasswordRefused"] = True
        try:
            sheet.unprotect(job["password"])
            facts["unprotected"] = not sheet.isProtected()
        except Exception:
            facts["unprotected"] = False
    return facts


def run_job(desktop, job):
    """Does one job of the list (see the module's description)."""
    if "inspect" in job or "pdf" in job or "csv" in job:
        document = load(desktop, job.get("inspect") or job.get("pdf") or job["csv"])
        try:
            if "csv" in job:
                # Commas (44), quotes (34), UTF-8 (76), cells as shown; the
                # twelfth option is the sheet's number.
                number = list(document.Sheets.ElementNames).index(job["sheet"]) + 1
                document.storeToURL(pathlib.Path(job["output"]).resolve().as_uri(),
                                    props(FilterName="Text - txt - csv (StarCalc)",
                                          FilterOptions=f"44,34,76,1,,0,false,true,true,false,false,{number}",
                                          Overwrite=True))
                # A sheet chosen by number goes to OUT-SHEET.csv.
                output = pathlib.Path(job["output"])
                output.with_name(f"{output.stem}-{job['sheet']}{output.suffix}").replace(output)
            elif "pdf" in job:
                document.storeToURL(pathlib.Path(job["output"]).resolve().as_uri(),
                                    props(FilterName="calc_pdf_Export", Overwrite=True))
            else:
                pathlib.Path(job["facts"]).write_text(json.dumps(inspect(document, job), indent=1))
        finally:
            document.close(True)
        return
    if "recalculate" in job:
        document = load(desktop, job["recalculate"])
        try:
            values = computed_values(document)
        finally:
            document.close(True)
        pathlib.Path(job["values"]).write_text(json.dumps(values, indent=1, ensure_ascii=False))
        return
    document = load(desktop, job["input"])
    try:
        for edit in job["edits"]:
            try:
                apply_edit(document, edit)
            except Exception as error:  # LibreOffice tells only where it refused
                raise RuntimeError(f"could not apply {json.dumps(edit)}: {error}") from error
        document.storeToURL(pathlib.Path(job["output"]).resolve().as_uri(),
                            props(FilterName="Calc MS Excel 2007 XML", Overwrite=True))
    finally:
        document.close(True)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    jobs = json.loads(pathlib.Path(sys.argv[1]).read_text())
    # A caller that gives up sends SIGTERM: leave through "finally" so that
    # LibreOffice is stopped too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("edit_in_libreoffice: terminated"))
    profile = tempfile.mkdtemp(prefix="edit_in_libreoffice_")
    process = desktop = None
    try:
        process, desktop = start_office(profile)
        for number, job in enumerate(jobs, 1):
            try:
                run_job(desktop, job)
            except Exception as error:
                raise RuntimeError(f"job {number} ({json.dumps(job)}): {error}") from error
    except Exception as error:
        print(f"edit_in_libreoffice: {error}", file=sys.stderr)
        return 1
    finally:
        if process is not None:
            stop_office(process, desktop)
        shutil.rmtree(profile, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
