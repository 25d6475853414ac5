#!/usr/bin/python3
"""Opens what the consumer programs wrote with openpyxl: check.py FILE..."""
import datetime
import sys

import openpyxl

EXPECTED = {"A1": "Sample", "B1": "Lactose", "A2": "LT-A-001", "B2": 4.81, "A3": "LT-A-002",
            "B3": datetime.datetime(2026, 12, 1, 14, 7)}

failed = 0
for path in sys.argv[1:]:
    sheet = openpyxl.load_workbook(path).active
    for address, value in EXPECTED.items():
        if sheet[address].value != value:
            print(f"{path}: {address} is {sheet[address].value!r} instead of {value!r}")
            failed += 1
    if not sheet["A1"].font.b or sheet.column_dimensions["A"].width != 18:
        print(f"{path}: A1 is not bold or column A not 18 wide")
        failed += 1
sys.exit(1 if failed else 0)
