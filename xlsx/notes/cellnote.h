#ifndef SPREADSHEET_CELLNOTE_H
#define SPREADSHEET_CELLNOTE_H

//! \file cellnote.h
//! Notes on cells: CellNote.

#include "richstring.h"

#include <QString>

namespace Spreadsheet {

//! A note on a cell (a comment, as the file format calls it): its text, plain
//! or rich, its author, and whether it shows all the time or only when the
//! pointer rests on the cell.
//!
//! \code
//! sheet->writeNote(2, 1, QStringLiteral("Sampled at the mill"), QStringLiteral("Maria"));
//! const Spreadsheet::CellNote note = sheet->note(2, 1);
//! if (!note.isNull())
//!     qDebug() << note.author << note.text.toPlainString();
//! \endcode
//! \sa Worksheet::writeNote(), Worksheet::note()
struct CellNote
{
    //! The note's text, plain or with runs of their own fonts.
    RichString text;
    //! Who wrote the note; may be empty.
    QString author;
    //! Whether the note shows all the time rather than while the pointer rests on the cell.
    bool visible = false;

    //! Whether the note has neither text nor author, as Worksheet::note()
    //! gives it for a cell without one.
    bool isNull() const { return text.isEmpty() && author.isEmpty(); }
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLNOTE_H
