#ifndef SPREADSHEET_DRAWING_H
#define SPREADSHEET_DRAWING_H

#include "abstractooxmlfile.h"
#include "drawinganchor.h"
#include "keptxml_p.h"
#include "sheetimage.h"

#include <QList>
#include <QSharedPointer>

class QXmlStreamWriter;

namespace Spreadsheet {

class Chart;
class GridEdit;

// A picture's file, shared by every place it is inserted at; a save stores
// each distinct file once.
struct MediaFile
{
    QByteArray bytes;
    SheetImage::Type type = SheetImage::Other;
    QString suffix;
    QString partName;   // a loaded picture's part; a new one's is given by each save
};

// One thing a drawing holds, in its anchor.
struct DrawingObject
{
    enum Kind { Picture, ChartFrame, Kept };   // Kept: shapes, groups, controls of a loaded drawing

    Kind kind = Picture;
    DrawingAnchor anchor;
    int id = 0;   // the drawing's object id (cNvPr)
    QString name;
    QString description;
    QSharedPointer<MediaFile> media;
    QSharedPointer<Chart> chart;
    QByteArray keptXml;          // a loaded anchor, written back as it came
    QString relationshipId;      // a loaded picture's or chart's, which the loader resolves
};

// The pictures and charts of one sheet and where they sit,
// "xl/drawings/drawingN.xml". A loaded drawing keeps every anchor it had as
// it came (and the relationships they use); what is added goes after them.
class Drawing : public AbstractOOXmlFile
{
public:
    explicit Drawing(CreationMode mode);

    QList<DrawingObject> &objects() { return m_objects; }
    const QList<DrawingObject> &objects() const { return m_objects; }
    // An object added by the model; it gets the next object id.
    void addObject(DrawingObject object);
    // Follows rows or columns inserted or removed on its sheet: objects
    // anchored to cells move with them (and between two cells size with
    // them); one whose cells are all removed goes, and one that loses some
    // shrinks to the place of the edit.
    void moveAnchors(const GridEdit &edit);
    // Whether it holds what it was loaded with and nothing more.
    bool isAsLoaded() const;

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;
    void setReadLimits(int maxXmlDepth) { m_maxXmlDepth = maxXmlDepth; }

private:
    void writeAnchor(QXmlStreamWriter &writer, const DrawingObject &object) const;
    void writePicture(QXmlStreamWriter &writer, const DrawingObject &object) const;
    void writeChartFrame(QXmlStreamWriter &writer, const DrawingObject &object) const;
    void readAnchor(const QByteArray &bytes);

    QList<DrawingObject> m_objects;
    int m_lastId = 1;
    QString m_rootName;              // of a loaded drawing, as written
    KeptAttributes m_rootAttributes; // its namespace declarations among them
    QByteArray m_rootRawAttributes;  // the same as written, to read its anchors in
    QByteArray m_loadedBytes;        // written back while nothing is added
    int m_maxXmlDepth = 256;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DRAWING_H
