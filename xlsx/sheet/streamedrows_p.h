#ifndef SPREADSHEET_STREAMEDROWS_P_H
#define SPREADSHEET_STREAMEDROWS_P_H

#include "piecedeflater_p.h"

#include <QByteArray>
#include <QIODevice>
#include <QTemporaryFile>

namespace Spreadsheet {

class Worksheet;

// The rows of a worksheet that a SheetWriter has written out: the bytes of
// its "sheetData" rows, deflated as they come into a temporary file, which a
// save splices into the sheet's part between the XML before and after them.
// Memory stays the same however many rows there are.
class StreamedRows : public QIODevice
{
public:
    StreamedRows();
    ~StreamedRows() override;

    // Opens the temporary file; false, with the reason, when it cannot be made.
    bool start();
    // The rows written so far end on a byte boundary and are in the file.
    // False, with the reason, when the file could not take them.
    bool flush();
    // Writes the rows to the part being saved: spliced as they are into a
    // ZIP entry, inflated into any other device. False when that failed.
    bool writeTo(QIODevice *target);

    bool hasFailed() const { return m_failed; }
    // The sheet they belong to; null once it is gone.
    Worksheet *sheet = nullptr;
    // Whether the rows hold formulas, which later edits could not follow.
    bool holdsFormulas = false;

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    void handOnPiece();
    void writeCompressed(const QByteArray &compressed);
    bool inflateInto(QIODevice *target);
    bool fail(const QString &reason);

    QTemporaryFile m_file;
    PieceDeflater m_pieces;
    QByteArray m_piece;
    qint64 m_written = 0;   // compressed bytes in the file
    bool m_failed = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_STREAMEDROWS_P_H
