#ifndef SPREADSHEET_SHEETWRITER_H
#define SPREADSHEET_SHEETWRITER_H

//! \file sheetwriter.h
//! One new worksheet written row by row in constant memory: SheetWriter.

#include "format.h"

#include <QScopedPointer>
#include <QString>
#include <QVariant>
#include <QVector>

namespace Spreadsheet {

class Document;
class SheetWriterPrivate;
class Worksheet;

//! Writes one new worksheet of a document row by row, for sheets too large
//! to hold: the writer's counterpart of SheetReader.
//!
//! \code
//! Spreadsheet::Document document;
//! Spreadsheet::SheetWriter writer(document, QStringLiteral("Readings"));
//! writer.writeRow({ QStringLiteral("Sample"), QStringLiteral("Acidity") }, { bold, bold });
//! for (const Reading &reading : readings)
//!     writer.writeRow({ reading.name, reading.acidity });
//! if (writer.hasError() || !document.saveToFile(fileName))
//!     qWarning() << writer.errorString();
//! \endcode
//!
//! Each row's cells are stored as Worksheet::writeValue() stores them (the
//! same values, formats, formulas and links), and the rows go out of memory
//! in blocks of some 65,000 cells: written as the sheet's XML and deflated
//! into a temporary file, from which Document::save() copies them into the
//! package.
//! Memory stays the same however many rows are written; the saved sheet is
//! the one Document would have written for the same cells.
//!
//! Texts go to the workbook's shared strings (SharedTexts), whose table then
//! grows with the distinct texts, or into each cell (InlineTexts), which
//! keeps memory flat whatever the texts are.
//!
//! Rows come in ascending order. The rows written out can no longer change:
//! writes to their cells and settings are refused, and so are edits that
//! move the sheet's rows or columns and copies of the sheet. While the rows
//! written out hold formulas, edits of other sheets that would rewrite
//! references (inserting or removing rows or columns, renaming or deleting
//! a sheet) are refused too. The sheet's other settings (column widths,
//! panes, merges, rules, notes, page setup) are set through worksheet() as
//! on any sheet. Reading the sheet's cells through Worksheet gives only the
//! rows not written out yet, and formulas of other sheets that read rows
//! written out keep their values when the workbook is calculated
//! (Worksheet::uncalculatedCells() lists them). Links and notes stay in
//! memory until the save, as on any sheet: a link costs about a kilobyte.
class SheetWriter
{
public:
    //! Where texts go.
    enum TextStorage {
        SharedTexts, //!< In the workbook's shared strings, as Document writes them.
        InlineTexts  //!< In each cell ("inlineStr"): memory stays flat whatever the texts.
    };

    //! Adds a worksheet of that name to the document, to be written row by
    //! row; the name is made valid as Workbook::addSheet() makes it.
    //! hasError() tells when the document has a sheet of the name (in any
    //! letter case) or no temporary file can be made. The sheet must stay
    //! in the document until the document is saved.
    SheetWriter(Document &document, const QString &sheetName, TextStorage texts = SharedTexts);
    //! Ends the writing; the rows written stay in the document's sheet.
    ~SheetWriter();

    //! Writes the values into the next row (row 1 first): values[i] into
    //! column i + 1 with formats[i] when there is one. An invalid QVariant
    //! with no valid format leaves the cell empty. False when a value cannot
    //! be stored (the row's other cells are stored) or the rows cannot be
    //! written out; hasError() then stays true.
    bool writeRow(const QVector<QVariant> &values, const QVector<Format> &formats = QVector<Format>());
    //! Writes the values into the given 1-based row, which must come after
    //! every row written so far; rows between stay empty.
    bool writeRow(int row, const QVector<QVariant> &values, const QVector<Format> &formats = QVector<Format>());

    //! The sheet being written, for its settings; null when hasError() is
    //! true after construction or the sheet has left the document.
    Worksheet *worksheet() const;
    //! The last row written; 0 before the first.
    int rowNumber() const;

    //! Whether any call has failed: checked once after the rows, it tells
    //! whether every value was stored.
    bool hasError() const;
    //! Why the first call that failed did ("cell C7: a value of type QSize
    //! cannot be stored"); empty when none did.
    QString errorString() const;

private:
    Q_DISABLE_COPY(SheetWriter)
    QScopedPointer<SheetWriterPrivate> d;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETWRITER_H
