// Writes a small workbook through the installed writer: consumer OUTPUT.xlsx
#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDateTime>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Spreadsheet::Document document;
    Spreadsheet::Format bold;
    bold.setFontBold(true);
    document.writeValue(1, 1, QStringLiteral("Sample"), bold);
    document.writeValue(1, 2, QStringLiteral("Lactose"), bold);
    document.writeValue(2, 1, QStringLiteral("LT-A-001"));
    document.writeValue(2, 2, 4.81);
    document.writeValue(3, 1, QStringLiteral("LT-A-002"));
    document.writeValue(3, 2, QDateTime(QDate(2026, 12, 1), QTime(14, 7)));
    document.setColumnWidth(1, 1, 18);
    return document.saveToFile(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
