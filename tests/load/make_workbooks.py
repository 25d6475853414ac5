#!/usr/bin/python3
"""Writes the workbooks that the loading tests read, with programs that are
not ours: Debian's python3-xlsxwriter (charts, a picture, notes, validation,
conditional formats, a table, names, rich text, array formulas, a macro
project), openpyxl, and LibreOffice, which saves the first one again in its
own way; and, written here by hand, a package in the idioms Excel uses and
these programs do not: shared formulas, dates as text, inline and error
cells, extension namespaces declared ignorable, a calculation chain, custom
XML and printer settings.

    make_workbooks.py FOLDER PICTURE
"""
import datetime
import pathlib
import subprocess
import sys
import zipfile

import openpyxl
import xlsxwriter
from openpyxl.comments import Comment
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Alignment, Border, Font, GradientFill, PatternFill, Side
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation


def xlsxwriter_workbook(path, picture, macros=False):
    book = xlsxwriter.Workbook(str(path))
    book.set_properties({"title": "Olive oil results", "author": "Lab", "company": "QVR lab",
                         "keywords": "acidity, peroxide"})
    bold = book.add_format({"bold": True, "font_color": "#C00000", "bg_color": "#FFF2CC", "border": 1,
                            "diag_type": 1, "diag_border": 2, "diag_color": "#00B050"})
    date = book.add_format({"num_format": "dd/mm/yyyy hh:mm"})
    percent = book.add_format({"num_format": "0.0%", "italic": True, "font_size": 10.5, "align": "center",
                               "valign": "vcenter", "text_wrap": True, "rotation": 30, "indent": 0})
    sheet = book.add_worksheet("Results")
    sheet.write_row(0, 0, ["Sample", "Acidity", "Peroxide", "Taken", "Share", "Ok"], bold)
    for row in range(1, 9):
        sheet.write_string(row, 0, f"EVO-{400 + row}")
        sheet.write_number(row, 1, row * 0.13)
        sheet.write_number(row, 2, 20 - row * 1.5)
        sheet.write_datetime(row, 3, datetime.datetime(2026, 11, 3, 9, row * 5), date)
        sheet.write_formula(row, 4, f"=B{row + 1}/SUM($B$2:$B$9)", percent, row / 36)
        sheet.write_boolean(row, 5, row % 2 == 0)
    sheet.write_array_formula(9, 1, 9, 1, "{=SUM(B2:B9*C2:C9)}", None, 123.4)
    sheet.write_formula(9, 2, "=1/0", None, "#DIV/0!")
    sheet.write_formula(9, 3, '="lot "&A2', None, "lot EVO-401")
    sheet.write_rich_string(10, 0, "Lot ", bold, "A-7", " checked")
    sheet.write_url(11, 0, "https://www.example.org/report?id=7#part", string="report")
    sheet.write_url(11, 1, "internal:'Summary'!A1", string="summary")
    sheet.merge_range("G1:H2", "merged", bold)
    sheet.write_comment("A2", "Sampled at the mill", {"author": "Maria"})
    sheet.data_validation("F2:F9", {"validate": "list", "source": ["TRUE", "FALSE"]})
    sheet.data_validation("B2:B9", {"validate": "decimal", "criteria": "between", "minimum": 0, "maximum": 5,
                                    "input_title": "Acidity", "input_message": "0 to 5"})
    sheet.conditional_format("B2:B9", {"type": "cell", "criteria": ">", "value": 0.8, "format": bold})
    sheet.conditional_format("C2:C9", {"type": "3_color_scale"})
    sheet.conditional_format("C2:C9", {"type": "data_bar", "bar_solid": True})
    sheet.freeze_panes(1, 1)
    sheet.set_column("A:A", 14)
    sheet.set_column("J:K", None, None, {"hidden": True, "level": 1})
    sheet.set_row(12, 24, None, {"level": 1})
    sheet.autofilter("A1:F9")
    sheet.insert_image("J3", str(picture), {"x_offset": 5, "y_offset": 3})
    chart = book.add_chart({"type": "column"})
    chart.add_series({"name": "Acidity", "categories": "=Results!$A$2:$A$9", "values": "=Results!$B$2:$B$9"})
    chart.set_title({"name": "Acidity by sample"})
    sheet.insert_chart("J10", chart)
    sheet.insert_textbox("N3", "Checked by Maria")

    summary = book.add_worksheet("Summary")
    summary.write("A1", "Table")
    summary.add_table("B2:D5", {"columns": [{"header": "Matrix"}, {"header": "Count"}, {"header": "Mean"}],
                                "data": [["Oil", 8, 0.6], ["Wine", 3, 3.4], ["Milk", 5, 4.7]]})
    summary.write_formula("A7", "=SUM(C3:C5)", None, 16)
    for row in range(8, 14):
        summary.write_formula(row, 1, f"=A{row + 1}*2+$C$3")
        summary.write_number(row, 0, row)
    book.define_name("Acidity", "=Results!$B$2:$B$9")
    book.define_name("Summary!Local", "=Summary!$B$2")
    book.define_name("Results!_xlnm.Print_Area", "=Results!$A$1:$F$12")
    hidden = book.add_worksheet("Hidden")
    hidden.write("A1", "not shown")
    hidden.hide()
    charts = book.add_chartsheet("Chart")
    pie = book.add_chart({"type": "pie"})
    pie.add_series({"values": "=Summary!$C$3:$C$5", "categories": "=Summary!$B$3:$B$5"})
    charts.set_chart(pie)
    if macros:
        # The macro project is kept as bytes; these stand in for one.
        project = path.with_suffix(".bin")
        project.write_bytes(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(range(256)) * 8)
        book.add_vba_project(str(project))
    book.close()


def openpyxl_workbook(path):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Data"
    sheet["A1"] = "Name"
    sheet["B1"] = "Value"
    sheet["A1"].font = Font(bold=True, size=12.5, color="FF0000")
    sheet["A2"] = "alpha"
    sheet["B2"] = 1.5
    sheet["C2"] = datetime.datetime(2024, 1, 15, 10, 30)
    sheet["B3"] = 2
    sheet["B4"] = "=SUM(B2:B3)"
    sheet["D2"] = True
    sheet["A5"].fill = PatternFill("solid", fgColor="FFFF00")
    sheet["A6"].fill = GradientFill(stop=("FF0000", "0000FF"))
    sheet["A7"].border = Border(left=Side(style="thin", color="00FF00"), diagonal=Side(style="dashed"), diagonalUp=True)
    sheet["A8"].alignment = Alignment(horizontal="center", wrap_text=True, text_rotation=45)
    sheet["A9"].comment = Comment("A note", "Tester")
    sheet.merge_cells("F1:G2")
    sheet.column_dimensions["A"].width = 20
    sheet.row_dimensions[3].height = 30
    sheet.freeze_panes = "B2"
    validation = DataValidation(type="list", formula1='"Yes,No"')
    sheet.add_data_validation(validation)
    validation.add("H1:H10")
    sheet.conditional_formatting.add("B2:B10", CellIsRule(operator="greaterThan", formula=["1"],
                                                          fill=PatternFill("solid", bgColor="FFC7CE")))
    sheet["I1"] = "link"
    sheet["I1"].hyperlink = "https://example.org/x"
    second = book.create_sheet("Second")
    second["A1"] = "x"
    second.sheet_state = "hidden"
    book.defined_names.append(DefinedName("MyRange", attr_text="Data!$B$2:$B$3"))
    book.save(str(path))


MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
TYPE = "application/vnd.openxmlformats-officedocument."
ROOT = (f'xmlns="{MAIN}" xmlns:r="{REL}" '
        'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="x14ac xr xr2 xr3" '
        'xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac" '
        'xmlns:xr="http://schemas.microsoft.com/office/spreadsheetml/2014/revision" '
        'xmlns:xr2="http://schemas.microsoft.com/office/spreadsheetml/2015/revision2" '
        'xmlns:xr3="http://schemas.microsoft.com/office/spreadsheetml/2016/revision3"')
HEADER = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'


def excel_like_workbook(path):
    sheet = (HEADER + f'<worksheet {ROOT} xr:uid="{{00000000-0001-0000-0000-000000000000}}">'
             '<sheetPr codeName="Sheet1"><tabColor rgb="FF00B050"/></sheetPr><dimension ref="A1:F8"/>'
             '<sheetViews><sheetView tabSelected="1" zoomScale="120" workbookViewId="0">'
             '<selection activeCell="B3" sqref="B3"/></sheetView></sheetViews>'
             '<sheetFormatPr defaultRowHeight="14.4" x14ac:dyDescent="0.3"/>'
             '<cols><col min="1" max="1" width="12.6640625" bestFit="1" customWidth="1"/></cols><sheetData>'
             '<row r="1" spans="1:6" x14ac:dyDescent="0.3"><c r="A1" t="inlineStr"><is><t>Value</t></is></c>'
             '<c r="B1" t="inlineStr"><is><r><rPr><b/><sz val="11"/><color theme="1"/><rFont val="Calibri"/>'
             '<family val="2"/><scheme val="minor"/></rPr><t>Double</t></r><r><rPr><i/><sz val="11"/>'
             '<rFont val="Calibri"/></rPr><t xml:space="preserve"> it</t></r></is></c>'
             '<c r="C1" t="d"><v>2026-11-03T09:05:00</v></c><c r="D1" t="e"><v>#N/A</v></c>'
             '<c r="E1" t="str"><f>"x"&amp;A2</f><v>x1</v></c></row>'
             + ''.join(f'<row r="{r}" spans="1:6" x14ac:dyDescent="0.3"><c r="A{r}"><v>{r - 1}</v></c>'
                       + (f'<c r="B{r}"><f t="shared" ref="B2:B7" si="0">A2*2+$A$2</f><v>{2 * (r - 1) + 1}</v></c>'
                          if r == 2 else f'<c r="B{r}"><f t="shared" si="0"/><v>{2 * (r - 1) + 1}</v></c>')
                       + '</row>' for r in range(2, 8))
             + '<row r="8" spans="1:6" x14ac:dyDescent="0.3"><c r="A8" cm="1"><f t="array" ref="A8">SUM(A2:A7*B2:B7)</f>'
             '<v>161</v></c><c r="B8" s="1"><v>0.30000000000000004</v></c></row></sheetData>'
             '<conditionalFormatting sqref="A2:A7"><cfRule type="dataBar" priority="1"><dataBar><cfvo type="min"/>'
             '<cfvo type="max"/><color rgb="FF638EC6"/></dataBar><extLst><ext uri="{B025F937-C7B1-47D3-B67F-A62EFF666E3E}" '
             'xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main"><x14:id>'
             '{3AB8C3C2-1B37-4A52-9F5E-1F9D1F5E8B71}</x14:id></ext></extLst></cfRule></conditionalFormatting>'
             '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>'
             '<pageSetup paperSize="9" orientation="portrait" r:id="rId1"/>'
             '<extLst><ext uri="{78C0D931-6437-407d-A8EE-F0AAD7539E65}" '
             'xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main"><x14:conditionalFormattings>'
             '<x14:conditionalFormatting xmlns:xm="http://schemas.microsoft.com/office/excel/2006/main"><x14:cfRule '
             'type="dataBar" id="{3AB8C3C2-1B37-4A52-9F5E-1F9D1F5E8B71}"><x14:dataBar minLength="0" maxLength="100" '
             'gradient="0"><x14:cfvo type="autoMin"/><x14:cfvo type="autoMax"/><x14:negativeFillColor rgb="FFFF0000"/>'
             '<x14:axisColor rgb="FF000000"/></x14:dataBar></x14:cfRule><xm:sqref>A2:A7</xm:sqref>'
             '</x14:conditionalFormatting></x14:conditionalFormattings></ext></extLst></worksheet>')
    workbook = (HEADER + f'<workbook {ROOT}><fileVersion appName="xl" lastEdited="7" lowestEdited="7" rupBuild="26328"/>'
                '<workbookPr defaultThemeVersion="202300"/>'
                '<mc:AlternateContent xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006">'
                '<mc:Choice Requires="x15"><x15ac:absPath url="C:\\Lab\\" '
                'xmlns:x15ac="http://schemas.microsoft.com/office/spreadsheetml/2010/11/ac"/></mc:Choice>'
                '</mc:AlternateContent><xr:revisionPtr revIDLastSave="0" documentId="8_{1C2B}" '
                'xr6:coauthVersionLast="47" xmlns:xr6="http://schemas.microsoft.com/office/spreadsheetml/2016/revision6"/>'
                '<bookViews><workbookView xWindow="-108" yWindow="-108" windowWidth="23256" windowHeight="12576" '
                'xr2:uid="{00000000-000D-0000-FFFF-FFFF00000000}"/></bookViews><sheets><sheet name="Shared" sheetId="1" '
                'r:id="rId1"/></sheets><definedNames><definedName name="Values" hidden="1">Shared!$A$2:$A$7</definedName>'
                '</definedNames><calcPr calcId="191029"/></workbook>')
    styles = (HEADER + f'<styleSheet {ROOT}><numFmts count="1"><numFmt numFmtId="164" formatCode="0.000"/></numFmts>'
              '<fonts count="1" x14ac:knownFonts="1"><font><sz val="11"/><color theme="1"/><name val="Calibri"/>'
              '<family val="2"/><scheme val="minor"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/>'
              '</fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="1"><border><left/><right/>'
              '<top/><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" '
              'borderId="0"/></cellStyleXfs><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" '
              'xfId="0"/><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs>'
              '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles><dxfs count="0"/>'
              '<tableStyles count="0" defaultTableStyle="TableStyleMedium2" defaultPivotStyle="PivotStyleLight16"/>'
              '</styleSheet>')
    parts = {
        "[Content_Types].xml": HEADER + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="bin" ContentType="' + TYPE + 'spreadsheetml.printerSettings"/>'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="' + TYPE + 'spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="' + TYPE + 'spreadsheetml.worksheet+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="' + TYPE + 'spreadsheetml.styles+xml"/>'
        '<Override PartName="/xl/calcChain.xml" ContentType="' + TYPE + 'spreadsheetml.calcChain+xml"/>'
        '<Override PartName="/customXml/itemProps1.xml" ContentType="' + TYPE + 'customXmlProperties+xml"/>'
        '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
        '<Override PartName="/docProps/app.xml" ContentType="' + TYPE + 'extended-properties+xml"/></Types>',
        "_rels/.rels": HEADER + f'<Relationships xmlns="{PKG}"><Relationship Id="rId3" '
        f'Type="{REL}/extended-properties" Target="docProps/app.xml"/><Relationship Id="rId2" '
        f'Type="{PKG}/metadata/core-properties" Target="docProps/core.xml"/><Relationship Id="rId1" '
        f'Type="{REL}/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "docProps/app.xml": HEADER + '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/'
        'extended-properties" xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">'
        '<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>'
        '<Company>QVR lab</Company><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>'
        '<HyperlinksChanged>false</HyperlinksChanged><AppVersion>16.0300</AppVersion></Properties>',
        "docProps/core.xml": HEADER + '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/'
        'metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/'
        'terms/" xmlns:dcmitype="http://purl.org/dc/dcmitype/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
        '<dc:creator>Maria</dc:creator><cp:lastModifiedBy>Maria</cp:lastModifiedBy><dcterms:created xsi:type='
        '"dcterms:W3CDTF">2026-11-03T08:00:00Z</dcterms:created><dcterms:modified xsi:type="dcterms:W3CDTF">'
        '2026-11-03T09:00:00Z</dcterms:modified><cp:revision>4</cp:revision></cp:coreProperties>',
        "xl/workbook.xml": workbook,
        "xl/_rels/workbook.xml.rels": HEADER + f'<Relationships xmlns="{PKG}"><Relationship Id="rId3" '
        f'Type="{REL}/styles" Target="styles.xml"/><Relationship Id="rId1" Type="{REL}/worksheet" '
        f'Target="worksheets/sheet1.xml"/><Relationship Id="rId4" Type="{REL}/calcChain" Target="calcChain.xml"/>'
        f'<Relationship Id="rId5" Type="{REL}/customXml" Target="../customXml/item1.xml"/></Relationships>',
        "xl/worksheets/sheet1.xml": sheet,
        "xl/worksheets/_rels/sheet1.xml.rels": HEADER + f'<Relationships xmlns="{PKG}"><Relationship Id="rId1" '
        f'Type="{REL}/printerSettings" Target="../printerSettings/printerSettings1.bin"/></Relationships>',
        "xl/printerSettings/printerSettings1.bin": bytes(range(256)) * 4,
        "xl/styles.xml": styles,
        "xl/calcChain.xml": HEADER + f'<calcChain xmlns="{MAIN}"><c r="B2" i="1" l="1"/><c r="E1"/></calcChain>',
        "customXml/item1.xml": '<?xml version="1.0"?><b:Sources xmlns:b="http://schemas.openxmlformats.org/'
        'officeDocument/2006/bibliography" SelectedStyle="\\APA.XSL"/>',
        "customXml/itemProps1.xml": HEADER + '<ds:datastoreItem ds:itemID="{8A6D2F3E-0F0B-4B7A-9D42-6E0B3D2C1A55}" '
        'xmlns:ds="http://schemas.openxmlformats.org/officeDocument/2006/customXml"><ds:schemaRefs>'
        '<ds:schemaRef ds:uri="http://schemas.openxmlformats.org/officeDocument/2006/bibliography"/></ds:schemaRefs>'
        '</ds:datastoreItem>',
        "customXml/_rels/item1.xml.rels": HEADER + f'<Relationships xmlns="{PKG}"><Relationship Id="rId1" '
        f'Type="{REL}/customXmlProps" Target="itemProps1.xml"/></Relationships>',
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, content in parts.items():
            archive.writestr(name, content if isinstance(content, bytes) else content.encode("utf-8"))


def main():
    folder = pathlib.Path(sys.argv[1])
    picture = pathlib.Path(sys.argv[2])
    folder.mkdir(parents=True, exist_ok=True)
    xlsxwriter_workbook(folder / "xlsxwriter.xlsx", picture)
    xlsxwriter_workbook(folder / "macros.xlsm", picture, macros=True)
    openpyxl_workbook(folder / "openpyxl.xlsx")
    excel_like_workbook(folder / "excel-like.xlsx")
    # LibreOffice writes the first one again, in a folder of its own.
    office = folder / "libreoffice"
    office.mkdir(exist_ok=True)
    subprocess.run(["soffice", "--headless", f"-env:UserInstallation=file://{folder.resolve()}/office-profile",
                    "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", str(office),
                    str(folder / "xlsxwriter.xlsx")], check=True, capture_output=True, timeout=240)
    (office / "xlsxwriter.xlsx").rename(folder / "libreoffice.xlsx")


if __name__ == "__main__":
    main()
