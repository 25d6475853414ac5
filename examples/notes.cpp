// Notes on cells: the text that a spreadsheet program shows in a box when
// the pointer rests on a cell (or all the time), with its author; plain or
// with runs of their own format.
//
//     notes [OUTPUT.xlsx]                (default: notes.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("notes.xlsx"));
    Spreadsheet::Document document;

    Spreadsheet::Format bold;
    bold.setFontBold(true);
    document.writeValue(1, 1, QStringLiteral("Sample"), bold);
    document.writeValue(1, 2, QStringLiteral("Acidity"), bold);
    document.writeValue(2, 1, QStringLiteral("Oil 1"));
    document.writeValue(2, 2, 0.42);
    document.writeValue(3, 1, QStringLiteral("Oil 2"));
    document.writeValue(3, 2, 0.95);

    // A plain note with its author, shown while the pointer rests on A2.
    bool written = document.writeNote(2, 1, QStringLiteral("Sampled at the mill, not at the warehouse."),
                                      QStringLiteral("Maria Rossi"));

    // A note that shows all the time.
    written = document.writeNote(3, 2, QStringLiteral("Measured again on 4 March: 0.93."),
                                 QStringLiteral("Luca Bianchi"), true) && written;

    // A note of several runs, each with its own font: a bold red word
    // followed by plain text.
    Spreadsheet::Format alert;
    alert.setFontBold(true);
    alert.setFontColor(Qt::red);
    Spreadsheet::RichString rejected;
    rejected.appendRun(QStringLiteral("Rejected:"), alert);
    rejected.appendRun(QStringLiteral(" the acidity is above the limit of 0.8."));
    written = document.writeNote(3, 1, rejected, QStringLiteral("Maria Rossi")) && written;

    // An empty text is refused.
    if (!written) {
        QTextStream(stderr) << "A note was refused\n";
        return 1;
    }

    // Notes read back by cell; a cell without one gives a null note.
    const Spreadsheet::CellNote note = document.note(3, 1);
    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": " << document.activeWorksheet()->notedCells().size()
                        << " notes; on A3 " << note.author << " wrote \"" << note.text.toPlainString() << "\"\n";
    return 0;
}
