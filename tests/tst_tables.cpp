// Tables: written as openpyxl and LibreOffice read them, computed as
// LibreOffice computes them, and read from what other programs write.
#include "hosttools.h"
#include "spreadsheet/spreadsheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Spreadsheet;

namespace {

QString python(const char *code, const QString &file)
{
    return QString::fromUtf8(HostTools::runPythonCode(code, file));
}

// Twenty samples under a header in A1:C1, the third column to be computed.
void writeSamples(Worksheet *sheet)
{
    sheet->writeValue(1, 1, QStringLiteral("Sample"));
    sheet->writeValue(1, 2, QStringLiteral("Acidity"));
    for (int row = 2; row <= 21; ++row) {
        sheet->writeValue(row, 1, QStringLiteral("S%1").arg(row - 1));
        sheet->writeValue(row, 2, 0.2 + 0.05 * row);
    }
}

SheetTable resultsTable()
{
    SheetTable table;
    table.name = QStringLiteral("Results");
    table.columns = { TableColumn(), TableColumn(), TableColumn() };
    table.columns[0].name = QStringLiteral("Sample");
    table.columns[0].totalsLabel = QStringLiteral("Mean");
    table.columns[1].name = QStringLiteral("Acidity");
    table.columns[1].totalsFunction = TableColumn::Average;
    table.columns[2].name = QStringLiteral("Ratio [%]");
    table.columns[2].formula = QStringLiteral("=[@Acidity]/0.8");
    table.columns[2].totalsFunction = TableColumn::Max;
    table.styleName = QStringLiteral("TableStyleMedium9");
    table.bandedColumns = true;
    table.totalsRow = true;
    return table;
}

} // namespace

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void badTablesAreRefused();
    void tableReadsAndComputesAsOtherProgramsDo();
    void referencesReadTheRowsATableHas();
    void tablesOfOtherWritersAreReadAndKept();
    void tablesKeptUnreadKeepTheirNames();
};

void TestTables::badTablesAreRefused()
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    writeSamples(sheet);
    QVERIFY(document.defineName(QStringLiteral("Limits"), QStringLiteral("Sheet1!$E$1:$E$4")));
    const CellArea range(1, 1, 22, 3);
    SheetTable table = resultsTable();
    for (const char *name : { "A1", "xfd1048576", "R1C1", "r", "C12", "1st", "with space", "Limits", "a-b" }) {
        table.name = QLatin1String(name);
        QVERIFY2(!sheet->addTable(range, table), name);
    }
    table = resultsTable();
    table.styleName = QStringLiteral("TableStyleMedium29");
    QVERIFY(!sheet->addTable(range, table));
    table = resultsTable();
    table.columns.removeLast();
    QVERIFY(!sheet->addTable(range, table));
    QVERIFY(!sheet->addTable(CellArea(1, 1, 2, 3), resultsTable()));   // no data row beside the totals
    QVERIFY(!sheet->addTable(CellArea(1, 1, 1, 3), SheetTable()));
    QVERIFY(sheet->mergeCells(CellArea(30, 2, 30, 3)));
    QVERIFY(!sheet->addTable(CellArea(29, 1, 31, 2), SheetTable()));
    QVERIFY(sheet->tables().isEmpty());
    QCOMPARE(sheet->readValue(1, 3), QVariant());   // nothing written by a refused table

    QVERIFY(sheet->addTable(range, resultsTable()));
    QVERIFY(!sheet->addTable(CellArea(22, 3, 25, 4), SheetTable()));   // overlaps its totals row
    table = SheetTable();
    table.name = QStringLiteral("RESULTS");
    QVERIFY(!sheet->addTable(CellArea(40, 1, 42, 2), table));
    // Without names, the header cells give them, each once.
    sheet->writeValue(40, 1, QStringLiteral("Batch"));
    sheet->writeValue(40, 2, QStringLiteral("batch"));
    QVERIFY(sheet->addTable(CellArea(40, 1, 42, 3), SheetTable()));
    const SheetTable second = sheet->tables().at(1);
    QCOMPARE(second.name, QStringLiteral("Table1"));
    QCOMPARE(second.columns.at(0).name, QStringLiteral("Batch"));
    QCOMPARE(second.columns.at(1).name, QStringLiteral("batch2"));
    QCOMPARE(second.columns.at(2).name, QStringLiteral("Column3"));
    QCOMPARE(sheet->readValue(40, 3), QVariant(QStringLiteral("Column3")));
    // Rows inserted through a table are refused; before it, it moves.
    QVERIFY(!sheet->insertRows(41));
    QVERIFY(sheet->insertRows(35, 2));
    QCOMPARE(sheet->tables().at(1).range, CellArea(42, 1, 44, 3));
    // What would break a table afterwards is refused in turn.
    QVERIFY(!sheet->mergeCells(CellArea(43, 1, 43, 2)));
    QVERIFY(!sheet->setAutoFilter(CellArea(30, 1, 50, 3)));
    QVERIFY(!document.defineName(QStringLiteral("results"), QStringLiteral("Sheet1!$A$1")));
    // A header written later renames its column.
    sheet->writeValue(42, 3, QStringLiteral("Lot"));
    QCOMPARE(sheet->tables().at(1).columns.at(2).name, QStringLiteral("Lot"));
}

// References to a table's rows where it lacks some, to tables that are
// gone, and a calculated column of plain cell references.
void TestTables::referencesReadTheRowsATableHas()
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    for (int row = 2; row <= 4; ++row)
        sheet->writeValue(row, 1, row * 10);
    SheetTable table;
    table.columns = { TableColumn(QStringLiteral("Mass")), TableColumn(QStringLiteral("Tenfold")) };
    table.columns[1].formula = QStringLiteral("A2*10");
    QVERIFY(sheet->addTable(CellArea(1, 1, 4, 2), table));
    QCOMPARE(sheet->cellAt(4, 2)->formula().text(), QStringLiteral("A4*10"));
    Worksheet *other = static_cast<Worksheet *>(document.workbook()->addSheet(QStringLiteral("Other")));
    const char *formulas[] = {
        "=ROWS(Table1[#All])", "=ROWS(Table1[[#Data],[#Totals]])", "=SUM(Table1[[#All],[Mass]])", "=SUM(Table1)",
        "=Table1[[#Totals],[Mass]]", "=SUM(Nowhere[Mass])", "=SUM(Table1[Volume])",
    };
    for (int i = 0; i < 7; ++i)
        other->writeValue(i + 1, 1, QLatin1String(formulas[i]));
    sheet->writeValue(3, 3, QStringLiteral("=Table1[@Mass]+[@Tenfold]"));   // beside the table: a row of its own
    QCOMPARE(sheet->cellAt(3, 3)->formula().text(),
             QStringLiteral("Table1[[#This Row],[Mass]]+[[#This Row],[Tenfold]]"));
    QVERIFY(document.calculate());
    QCOMPARE(sheet->readValue(4, 2).toInt(), 400);
    QCOMPARE(other->readValue(1, 1).toInt(), 4);
    QCOMPARE(other->readValue(2, 1).toInt(), 3);
    QCOMPARE(other->readValue(3, 1).toInt(), 90);    // the header's text counts for nothing
    QCOMPARE(other->readValue(4, 1).toInt(), 990);   // the data of both columns
    for (int row = 5; row <= 7; ++row)
        QCOMPARE(other->readValue(row, 1), QVariant(QStringLiteral("#REF!")));
    QVERIFY(other->uncalculatedCells().isEmpty());
}

// A table with a totals row and a calculated column, as openpyxl reads it,
// computed by the library as LibreOffice computes it, and read back.
void TestTables::tableReadsAndComputesAsOtherProgramsDo()
{
    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("ours.xlsx"));
    {
        Document document;
        Worksheet *sheet = document.activeWorksheet();
        writeSamples(sheet);
        QVERIFY(sheet->addTable(CellArea(1, 1, 22, 3), resultsTable()));
        sheet->writeValue(2, 5, QStringLiteral("=SUM(Results[Acidity])"));
        sheet->writeValue(3, 5, QStringLiteral("=Results[[#Totals],[Ratio '[%']]]"));
        sheet->writeValue(4, 5, QStringLiteral("=ROWS(Results[[#All],[Sample]])"));
        sheet->writeValue(5, 5, QStringLiteral("=COUNTA(Results[[#Headers],[Sample]:[Acidity]])"));
        QVERIFY2(document.calculate(), qPrintable(document.errorString()));
        QVERIFY(sheet->uncalculatedCells().isEmpty());
        QCOMPARE(sheet->readValue(22, 1), QVariant(QStringLiteral("Mean")));
        QVERIFY(qAbs(sheet->readValue(22, 2).toDouble() - 0.775) < 1e-12);   // (0.3 + 1.25) / 2
        QVERIFY(qAbs(sheet->readValue(22, 3).toDouble() - 1.25 / 0.8) < 1e-12);
        QVERIFY(qAbs(sheet->readValue(2, 5).toDouble() - 15.5) < 1e-12);
        QCOMPARE(sheet->readValue(4, 5).toInt(), 22);
        QCOMPARE(sheet->readValue(5, 5).toInt(), 2);
        QVERIFY(document.saveToFile(ours));
    }
    Document loaded;
    QVERIFY2(loaded.load(ours), qPrintable(loaded.errorString()));
    const QList<SheetTable> tables = loaded.activeWorksheet()->tables();
    QCOMPARE(tables.size(), 1);
    const SheetTable &table = tables.first();
    QCOMPARE(table.name, QStringLiteral("Results"));
    QCOMPARE(table.range, CellArea(1, 1, 22, 3));
    QCOMPARE(table.styleName, QStringLiteral("TableStyleMedium9"));
    QVERIFY(table.bandedRows && table.bandedColumns && !table.firstColumn && table.filterButtons && table.totalsRow);
    QCOMPARE(table.columns.at(2).name, QStringLiteral("Ratio [%]"));
    QCOMPARE(table.columns.at(2).formula, QStringLiteral("Results[[#This Row],[Acidity]]/0.8"));
    QCOMPARE(table.columns.at(1).totalsFunction, TableColumn::Average);
    QCOMPARE(table.columns.at(0).totalsLabel, QStringLiteral("Mean"));

    if (!HostTools::available())
        QSKIP("openpyxl and LibreOffice run on the Linux side");
    QCOMPARE(python("import sys, openpyxl\n"
                    "sheet = openpyxl.load_workbook(sys.argv[1]).active\n"
                    "t = sheet.tables['Results']\n"
                    "print(t.ref, t.displayName, t.totalsRowCount, t.autoFilter.ref)\n"
                    "s = t.tableStyleInfo\n"
                    "print(s.name, s.showRowStripes, s.showColumnStripes, s.showFirstColumn, s.showLastColumn)\n"
                    "for c in t.tableColumns:\n"
                    "    f = c.calculatedColumnFormula\n"
                    "    print(c.id, c.name, c.totalsRowFunction, c.totalsRowLabel, f.attr_text if f else None)\n"
                    "print(sheet['B22'].value, sheet['C22'].value, sheet['C2'].value)\n"
                    "print([v for v in next(openpyxl.load_workbook(sys.argv[1], data_only=True).active.iter_rows(min_row=22, values_only=True))])\n",
                    ours),
             QStringLiteral("A1:C22 Results 1 A1:C21\n"
                            "TableStyleMedium9 True True False False\n"
                            "1 Sample None Mean None\n"
                            "2 Acidity average None None\n"
                            "3 Ratio [%] max None Results[[#This Row],[Acidity]]/0.8\n"
                            "=SUBTOTAL(101,Results[Acidity]) =SUBTOTAL(104,Results[Ratio '[%']]) "
                            "=Results[[#This Row],[Acidity]]/0.8\n"
                            "['Mean', 0.775, 1.5625, None, None]"));
    // LibreOffice's values of every formula, the table's among them.
    const QString values = folder.filePath(QStringLiteral("values.json"));
    const QString failure = HostTools::runLibreOffice({ QJsonObject{ { "recalculate", ours }, { "values", values } } }, folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QFile file(values);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject theirs = QJsonDocument::fromJson(file.readAll()).object().value("Sheet1").toObject();
    const Worksheet *sheet = loaded.activeWorksheet();
    int compared = 0;
    for (auto it = theirs.constBegin(); it != theirs.constEnd(); ++it) {
        const CellAddress address(it.key());
        const QVariant mine = sheet->readValue(address.row(), address.column());
        if (it.value().isDouble()) {
            QVERIFY2(qAbs(mine.toDouble() - it.value().toDouble()) < 1e-12, qPrintable(it.key()));
            ++compared;
        } else {
            QCOMPARE(mine.toString(), it.value().toString());
        }
    }
    QCOMPARE(compared, 20 * 2 + 2 + 4);
}

// Tables that XlsxWriter and openpyxl write, and LibreOffice's save of
// ours, are read into the model and written back as they came.
void TestTables::tablesOfOtherWritersAreReadAndKept()
{
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "sheet = book.add_worksheet('Lab')\n"
           "sheet.write_row(2, 0, ['x', 'y'])\n"
           "sheet.add_table('B5:D9', {'name': 'Oils', 'style': 'Table Style Light 11', 'total_row': True,\n"
           "    'first_column': True, 'autofilter': False, 'data': [[1, 2], [3, 4], [5, 6]],\n"
           "    'columns': [{'header': 'Batch', 'total_string': 'All'}, {'header': 'Peroxide', 'total_function': 'sum'},\n"
           "                {'header': 'Double', 'formula': '=[@Peroxide]*2', 'total_function': 'count'}]})\n"
           "sheet.add_table('F5:G7', {'header_row': True})\n"
           "book.close()\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    Worksheet *sheet = document.activeWorksheet();
    const QList<SheetTable> tables = sheet->tables();
    QCOMPARE(tables.size(), 2);
    const SheetTable &oils = tables.first();
    QCOMPARE(oils.name, QStringLiteral("Oils"));
    QCOMPARE(oils.range, CellArea(5, 2, 9, 4));
    QCOMPARE(oils.styleName, QStringLiteral("TableStyleLight11"));
    QVERIFY(oils.totalsRow && oils.firstColumn && !oils.filterButtons && oils.headerRow);
    QCOMPARE(oils.columns.at(0).totalsLabel, QStringLiteral("All"));
    QCOMPARE(oils.columns.at(1).totalsFunction, TableColumn::Sum);
    QCOMPARE(oils.columns.at(2).totalsFunction, TableColumn::Count);
    QCOMPARE(oils.columns.at(2).formula, QStringLiteral("[[#This Row],Peroxide]*2"));   // as XlsxWriter stores it
    QCOMPARE(tables.at(1).name, QStringLiteral("Table2"));
    QVERIFY(document.calculate());
    QCOMPARE(sheet->readValue(9, 3).toInt(), 12);
    QCOMPARE(sheet->readValue(8, 4).toInt(), 12);

    // A new table takes a name and an id neither has; rows inserted above
    // the loaded ones move them in their parts.
    QVERIFY(sheet->addTable(CellArea(12, 1, 13, 2), SheetTable()));
    QCOMPARE(sheet->tables().last().name, QStringLiteral("Table1"));
    QVERIFY(sheet->insertRows(1, 2));
    const QString saved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(saved));
    const QString theirs = folder.filePath(QStringLiteral("theirs.xlsx"));
    const QString failure = HostTools::runLibreOffice({ QJsonObject{ { "input", saved }, { "output", theirs }, { "edits", QJsonArray() } } },
                                           folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const char *describe = "import sys, openpyxl\n"
                           "sheet = openpyxl.load_workbook(sys.argv[1])['Lab']\n"
                           "for t in sorted(sheet.tables.values(), key=lambda t: t.id):\n"
                           "    print(t.id, t.name, t.ref, t.totalsRowCount, t.tableStyleInfo.name,\n"
                           "          [(c.name, c.totalsRowFunction) for c in t.tableColumns])\n";
    const QString expected = QStringLiteral(
        "1 Oils B7:D11 1 TableStyleLight11 [('Batch', None), ('Peroxide', 'sum'), ('Double', 'count')]\n"
        "2 Table2 F7:G9 None TableStyleMedium9 [('Column1', None), ('Column2', None)]\n"
        "3 Table1 A14:B15 None TableStyleMedium2 [('Column1', None), ('Column2', None)]");
    QCOMPARE(python(describe, saved), expected);
    Document again;
    QVERIFY2(again.load(theirs), qPrintable(again.errorString()));
    QStringList names;
    for (const SheetTable &table : again.activeWorksheet()->tables())
        names << table.name + QLatin1Char(' ') + table.range.toText();
    names.sort();   // LibreOffice writes them in an order of its own
    QCOMPARE(names, (QStringList{ "Oils B7:D11", "Table1 A14:B15", "Table2 F7:G9" }));
}

// A table the library cannot read (a query table's, with parts of its own)
// stays as it came, and its name and id stay its own.
void TestTables::tablesKeptUnreadKeepTheirNames()
{
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, zipfile, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "sheet = book.add_worksheet()\n"
           "sheet.add_table('A1:B3', {'columns': [{'header': 'A'}, {'header': 'B'}]})\n"
           "book.close()\n"
           "z = zipfile.ZipFile(sys.argv[1])\n"
           "parts = {n: z.read(n) for n in z.namelist()}\n"
           "z.close()\n"
           "parts['xl/tables/table1.xml'] = parts['xl/tables/table1.xml'].replace(b'<table ', b'<table tableType=\"queryTable\" ', 1)\n"
           "parts['xl/tables/_rels/table1.xml.rels'] = b'<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">' \\\n"
           "    b'<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/queryTable\" Target=\"../queryTables/queryTable1.xml\"/></Relationships>'\n"
           "parts['xl/queryTables/queryTable1.xml'] = b'<queryTable xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" name=\"Query\" connectionId=\"1\"/>'\n"
           "with zipfile.ZipFile(sys.argv[1], 'w') as out:\n"
           "    for n, b in parts.items():\n"
           "        out.writestr(n, b)\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    Worksheet *sheet = document.activeWorksheet();
    QVERIFY(sheet->tables().isEmpty());
    SheetTable named;
    named.name = QStringLiteral("table1");
    QVERIFY(!sheet->addTable(CellArea(10, 1, 11, 2), named));
    QVERIFY(sheet->addTable(CellArea(10, 1, 11, 2), SheetTable()));
    QCOMPARE(sheet->tables().first().name, QStringLiteral("Table2"));
    sheet->writeValue(5, 1, QStringLiteral("=SUM(Table1[B])"));
    QVERIFY(document.calculate());
    QCOMPARE(sheet->uncalculatedCells(), (QList<CellAddress>{ CellAddress(5, 1) }));
    const QString saved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(saved));
    QCOMPARE(python("import sys, openpyxl\n"
                    "sheet = openpyxl.load_workbook(sys.argv[1]).active\n"
                    "print(sorted((t.id, t.name, t.ref, t.tableType) for t in sheet.tables.values()))\n",
                    saved),
             QStringLiteral("[(1, 'Table1', 'A1:B3', 'queryTable'), (2, 'Table2', 'A10:B11', None)]"));
}

QTEST_MAIN(TestTables)
#include "tst_tables.moc"
