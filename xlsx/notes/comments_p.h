#ifndef SPREADSHEET_COMMENTS_P_H
#define SPREADSHEET_COMMENTS_P_H

#include "abstractooxmlfile.h"
#include "celladdress.h"
#include "cellnote.h"

#include <QMap>

namespace Spreadsheet {

// A sheet's notes by cell, row by row.
using NoteMap = QMap<QPair<int, int>, CellNote>;

// The notes of one sheet, "xl/commentsN.xml": their authors once each and
// their texts by cell. What shows them is the sheet's VML drawing.
class Comments : public AbstractOOXmlFile
{
public:
    explicit Comments(CreationMode mode) : AbstractOOXmlFile(mode) {}

    NoteMap notes;

    void writeXml(QIODevice *device) const override;
    // Reads a loaded part's notes; a note at a cell outside the sheet, or by
    // an author the part does not list, fails the read.
    bool readXml(QIODevice *device) override;
    void setReadLimits(int maxXmlDepth) { m_maxXmlDepth = maxXmlDepth; }

private:
    int m_maxXmlDepth = 256;
};

// The legacy drawing that makes spreadsheet programs show the notes,
// "xl/drawings/vmlDrawingN.vml": a text box per note beside its cell.
namespace VmlDrawing {

// The drawing of a sheet's notes; block numbers the shapes of each sheet apart.
QByteArray notesDrawing(const NoteMap &notes, int block);
// The cells whose note a loaded drawing shows all the time, and whether the
// drawing holds anything but notes (buttons, check boxes, ...).
void readNotes(const QByteArray &drawing, NoteMap &notes, bool &holdsOtherShapes);

} // namespace VmlDrawing

} // namespace Spreadsheet

#endif // SPREADSHEET_COMMENTS_P_H
