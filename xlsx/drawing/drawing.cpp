#include "drawing.h"

#include "chart.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "relationships.h"
#include "utility.h"
#include "gridedit_p.h"
#include "xmlscanner_p.h"
#include "xmlvaluerewriter_p.h"

#include <QXmlStreamWriter>

#include <algorithm>
#include <climits>

namespace Spreadsheet {

Drawing::Drawing(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
}

bool Drawing::isAsLoaded() const
{
    return !m_loadedBytes.isEmpty()
        && std::all_of(m_objects.cbegin(), m_objects.cend(), [](const DrawingObject &object) { return !object.keptXml.isEmpty(); });
}

void Drawing::addObject(DrawingObject object)
{
    object.id = ++m_lastId;
    if (object.name.isEmpty()) {
        const int number = int(std::count_if(m_objects.cbegin(), m_objects.cend(), [&](const DrawingObject &other) {
                               return other.kind == object.kind;
                           })) + 1;
        object.name = (object.kind == DrawingObject::ChartFrame ? QStringLiteral("Chart %1") : QStringLiteral("Picture %1"))
                          .arg(number);
    }
    m_objects.append(object);
}

namespace {

void writeMarker(QXmlStreamWriter &writer, const QString &name, const CellAddress &cell, const QPoint &offset)
{
    writer.writeStartElement(name);
    writer.writeTextElement(QStringLiteral("xdr:col"), QString::number(cell.column() - 1));
    writer.writeTextElement(QStringLiteral("xdr:colOff"), QString::number(offset.x()));
    writer.writeTextElement(QStringLiteral("xdr:row"), QString::number(cell.row() - 1));
    writer.writeTextElement(QStringLiteral("xdr:rowOff"), QString::number(offset.y()));
    writer.writeEndElement();
}

void writeExtent(QXmlStreamWriter &writer, const QString &name, const QSize &size)
{
    writer.writeEmptyElement(name);
    writer.writeAttribute(QStringLiteral("cx"), QString::number(qMax(size.width(), 0)));
    writer.writeAttribute(QStringLiteral("cy"), QString::number(qMax(size.height(), 0)));
}

// The shape's own place, which readers take from the anchor instead.
void writeTransform(QXmlStreamWriter &writer, const QString &name, const QSize &size)
{
    writer.writeStartElement(name);
    writer.writeEmptyElement(QStringLiteral("a:off"));
    writer.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    writer.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    writeExtent(writer, QStringLiteral("a:ext"), size);
    writer.writeEndElement();
}

void writeObjectName(QXmlStreamWriter &writer, const DrawingObject &object)
{
    writer.writeEmptyElement(QStringLiteral("xdr:cNvPr"));
    writer.writeAttribute(QStringLiteral("id"), QString::number(object.id));
    writer.writeAttribute(QStringLiteral("name"), validXmlText(object.name));
    if (!object.description.isEmpty())
        writer.writeAttribute(QStringLiteral("descr"), validXmlText(object.description));
}

} // namespace

void Drawing::writeXml(QIODevice *device) const
{
    relationships()->clear();
    relationships()->setSourcePart(partPath());
    if (isAsLoaded()) {
        device->write(m_loadedBytes);
        return;
    }
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    if (m_rootName.isEmpty()) {
        writer.writeStartElement(QStringLiteral("xdr:wsDr"));
        writer.writeAttribute(QStringLiteral("xmlns:xdr"), Namespace::spreadsheetDrawing);
        writer.writeAttribute(QStringLiteral("xmlns:a"), Namespace::drawingMain);
    } else {
        writer.writeStartElement(m_rootName);
        KeptXml::writeAttributes(writer, m_rootAttributes);
    }
    for (const DrawingObject &object : m_objects)
        writeAnchor(writer, object);
    writer.writeEndElement();
    writer.writeEndDocument();
}

void Drawing::writeAnchor(QXmlStreamWriter &writer, const DrawingObject &object) const
{
    if (!object.keptXml.isEmpty()) {
        KeptXml::writeRaw(writer, object.keptXml);
        return;
    }
    const DrawingAnchor &anchor = object.anchor;
    static const char *const names[] = { "xdr:oneCellAnchor", "xdr:twoCellAnchor", "xdr:absoluteAnchor" };
    writer.writeStartElement(QLatin1String(names[anchor.kind()]));
    if (!m_rootName.isEmpty()) {
        // Inside a loaded drawing, whose prefixes may stand for other namespaces.
        writer.writeAttribute(QStringLiteral("xmlns:xdr"), Namespace::spreadsheetDrawing);
        writer.writeAttribute(QStringLiteral("xmlns:a"), Namespace::drawingMain);
    }
    if (anchor.kind() == DrawingAnchor::Absolute) {
        writer.writeEmptyElement(QStringLiteral("xdr:pos"));
        writer.writeAttribute(QStringLiteral("x"), QString::number(anchor.positionEmu().x()));
        writer.writeAttribute(QStringLiteral("y"), QString::number(anchor.positionEmu().y()));
    } else {
        writeMarker(writer, QStringLiteral("xdr:from"), anchor.from(), anchor.fromOffsetEmu());
    }
    if (anchor.kind() == DrawingAnchor::TwoCell)
        writeMarker(writer, QStringLiteral("xdr:to"), anchor.to(), anchor.toOffsetEmu());
    else
        writeExtent(writer, QStringLiteral("xdr:ext"), anchor.sizeEmu());

    if (object.kind == DrawingObject::Picture)
        writePicture(writer, object);
    else
        writeChartFrame(writer, object);
    writer.writeEmptyElement(QStringLiteral("xdr:clientData"));
    writer.writeEndElement();
}

void Drawing::writePicture(QXmlStreamWriter &writer, const DrawingObject &object) const
{
    const QString id = relationships()->addDocumentRelationship(
        QStringLiteral("/image"), PartNames::relative(partPath(), object.media->partName));
    writer.writeStartElement(QStringLiteral("xdr:pic"));
    writer.writeStartElement(QStringLiteral("xdr:nvPicPr"));
    writeObjectName(writer, object);
    writer.writeStartElement(QStringLiteral("xdr:cNvPicPr"));
    writer.writeEmptyElement(QStringLiteral("a:picLocks"));
    writer.writeAttribute(QStringLiteral("noChangeAspect"), QStringLiteral("1"));
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("xdr:blipFill"));
    writer.writeEmptyElement(QStringLiteral("a:blip"));
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    writer.writeAttribute(QStringLiteral("r:embed"), id);
    writer.writeStartElement(QStringLiteral("a:stretch"));
    writer.writeEmptyElement(QStringLiteral("a:fillRect"));
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("xdr:spPr"));
    writeTransform(writer, QStringLiteral("a:xfrm"), object.anchor.sizeEmu());
    writer.writeStartElement(QStringLiteral("a:prstGeom"));
    writer.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    writer.writeEmptyElement(QStringLiteral("a:avLst"));
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
}

void Drawing::writeChartFrame(QXmlStreamWriter &writer, const DrawingObject &object) const
{
    const QString id = relationships()->addDocumentRelationship(
        QStringLiteral("/chart"), PartNames::relative(partPath(), object.chart->partPath()));
    writer.writeStartElement(QStringLiteral("xdr:graphicFrame"));
    writer.writeAttribute(QStringLiteral("macro"), QString());
    writer.writeStartElement(QStringLiteral("xdr:nvGraphicFramePr"));
    writeObjectName(writer, object);
    writer.writeEmptyElement(QStringLiteral("xdr:cNvGraphicFramePr"));
    writer.writeEndElement();
    writeTransform(writer, QStringLiteral("xdr:xfrm"), QSize(0, 0));
    writer.writeStartElement(QStringLiteral("a:graphic"));
    writer.writeStartElement(QStringLiteral("a:graphicData"));
    writer.writeAttribute(QStringLiteral("uri"), Namespace::chart);
    writer.writeEmptyElement(QStringLiteral("c:chart"));
    writer.writeAttribute(QStringLiteral("xmlns:c"), Namespace::chart);
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    writer.writeAttribute(QStringLiteral("r:id"), id);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
}

bool Drawing::readXml(QIODevice *device)
{
    clearReadError();
    const QByteArray bytes = device->readAll();
    XmlScanner scanner(bytes, m_maxXmlDepth);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return readFailed(scanner.hasError() ? scanner.errorString() : QStringLiteral("it holds no drawing"));
    }
    if (!scanner.is(XmlScanner::SpreadsheetDrawing, "wsDr"))
        return readFailed(QStringLiteral("it holds no drawing"));
    m_rootName = QString(scanner.qualifiedName());
    m_rootAttributes = KeptXml::attributes(scanner);
    m_rootRawAttributes = KeptXml::rawAttributes(scanner);
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 1) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const QByteArray anchor = scanner.captureElement();
        if (!anchor.isEmpty())
            readAnchor(anchor);
    }
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    m_loadedBytes = bytes;
    return true;
}

namespace {

// A number the file gives as an element's text or an attribute, within the
// range the model keeps.
bool readInt(const QByteArray &text, int &value, int minimum = INT_MIN)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok || number < minimum || number > INT_MAX)
        return false;
    value = int(number);
    return true;
}

// A marker (from, to): zero-based column and row with their offsets.
bool readMarker(XmlScanner &scanner, CellAddress &cell, QPoint &offset)
{
    int column = -1, row = -1, columnOffset = 0, rowOffset = 0;
    bool ok = true;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const QByteArray text = scanner.readElementText();
        if (scanner.is(XmlScanner::SpreadsheetDrawing, "col"))
            ok &= readInt(text, column, 0);
        else if (scanner.is(XmlScanner::SpreadsheetDrawing, "row"))
            ok &= readInt(text, row, 0);
        else if (scanner.is(XmlScanner::SpreadsheetDrawing, "colOff"))
            ok &= readInt(text, columnOffset);
        else if (scanner.is(XmlScanner::SpreadsheetDrawing, "rowOff"))
            ok &= readInt(text, rowOffset);
    }
    cell = CellAddress(row + 1, column + 1);
    offset = QPoint(columnOffset, rowOffset);
    return ok && column < maximumColumns && row < maximumRows && cell.isValid();
}

bool readSize(const XmlScanner &scanner, QSize &size)
{
    int width = 0, height = 0;
    if (!readInt(scanner.value("cx"), width, 0) || !readInt(scanner.value("cy"), height, 0))
        return false;
    size = QSize(width, height);
    return true;
}

} // namespace

// A loaded anchor is kept as it came; a picture or a chart in it is also
// read into the model, for the sheet to list it.
void Drawing::readAnchor(const QByteArray &bytes)
{
    DrawingObject object;
    object.kind = DrawingObject::Kept;
    object.keptXml = bytes;

    // The anchor alone does not declare the prefixes the drawing gave it.
    XmlScanner scanner("<wrapper" + m_rootRawAttributes + '>' + bytes + "</wrapper>", m_maxXmlDepth);
    scanner.next();
    scanner.next();
    DrawingAnchor anchor;
    bool valid = true;
    DrawingObject::Kind kind = DrawingObject::Kept;
    if (scanner.is(XmlScanner::SpreadsheetDrawing, "oneCellAnchor"))
        anchor.setKind(DrawingAnchor::OneCell);
    else if (scanner.is(XmlScanner::SpreadsheetDrawing, "twoCellAnchor"))
        anchor.setKind(DrawingAnchor::TwoCell);
    else if (scanner.is(XmlScanner::SpreadsheetDrawing, "absoluteAnchor"))
        anchor.setKind(DrawingAnchor::Absolute);
    else
        valid = false;
    while (valid && scanner.next() != XmlScanner::Invalid && scanner.depth() >= 2) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        CellAddress cell;
        QPoint offset;
        QSize size;
        if (scanner.is(XmlScanner::SpreadsheetDrawing, "from") && scanner.depth() == 3) {
            valid = readMarker(scanner, cell, offset);
            anchor.setFrom(cell, offset);
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "to") && scanner.depth() == 3) {
            valid = readMarker(scanner, cell, offset);
            anchor.setTo(cell, offset);
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "ext") && scanner.depth() == 3) {
            valid = readSize(scanner, size);
            anchor.setSizeEmu(size);
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "pos") && scanner.depth() == 3) {
            int x = 0, y = 0;
            valid = readInt(scanner.value("x"), x) && readInt(scanner.value("y"), y);
            anchor.setPositionEmu(QPoint(x, y));
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "pic") && scanner.depth() == 3) {
            kind = DrawingObject::Picture;
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "graphicFrame") && scanner.depth() == 3) {
            kind = DrawingObject::ChartFrame;
        } else if (scanner.is(XmlScanner::SpreadsheetDrawing, "cNvPr")) {
            int id = 0;
            if (readInt(scanner.value("id"), id, 0))
                m_lastId = qMax(m_lastId, id);
            if (scanner.depth() == 5) {
                object.id = id;
                object.name = QString::fromUtf8(scanner.value("name"));
                object.description = QString::fromUtf8(scanner.value("descr"));
            }
        } else if (scanner.is(XmlScanner::Drawing, "blip") && kind == DrawingObject::Picture && scanner.depth() == 5) {
            object.relationshipId = QString::fromUtf8(scanner.value("embed", XmlScanner::DocumentRelationships));
        } else if (scanner.is(XmlScanner::Chart, "chart") && kind == DrawingObject::ChartFrame) {
            object.relationshipId = QString::fromUtf8(scanner.value("id", XmlScanner::DocumentRelationships));
        }
    }
    if (scanner.hasError() || !anchor.isValid() || (anchor.kind() == DrawingAnchor::TwoCell && !anchor.to().isValid()))
        valid = false;
    if (valid && kind != DrawingObject::Kept && !object.relationshipId.isEmpty()) {
        object.kind = kind;
        object.anchor = anchor;
    } else {
        object.relationshipId.clear();
    }
    m_objects.append(object);
}

} // namespace Spreadsheet

namespace Spreadsheet {

namespace {

// A marker's row or column (1-based) through the edit; one removed goes to
// the edit's place, one pushed off the sheet to its end, its offset with it.
bool moveMarkerIndex(const GridEdit &edit, int &index)
{
    if (edit.move(index))
        return true;
    index = edit.isInsert() ? edit.limit() : qMin(edit.first(), edit.limit());
    return false;
}

// False when the marker's cell is removed.
bool moveMarker(const GridEdit &edit, CellAddress &cell, QPoint &offset)
{
    int row = cell.row();
    int column = cell.column();
    int &index = edit.axis() == GridEdit::Rows ? row : column;
    const bool stays = moveMarkerIndex(edit, index);
    if (!stays) {
        if (edit.axis() == GridEdit::Rows)
            offset.setY(0);
        else
            offset.setX(0);
    }
    cell = CellAddress(row, column);
    return stays;
}

} // namespace

void Drawing::moveAnchors(const GridEdit &edit)
{
    const QLatin1String index(edit.axis() == GridEdit::Rows ? "row" : "col");
    const QLatin1String offset(edit.axis() == GridEdit::Rows ? "rowOff" : "colOff");
    bool changed = false;
    QList<DrawingObject> kept;
    for (DrawingObject &object : m_objects) {
        // Whether the markers' cells are removed; an object whose cells all
        // go, goes with them.
        bool fromRemoved = false;
        bool toRemoved = false;
        DrawingAnchor &anchor = object.anchor;
        const bool modelled = object.kind != DrawingObject::Kept && anchor.kind() != DrawingAnchor::Absolute;
        if (modelled) {
            CellAddress from = anchor.from();
            QPoint fromOffset = anchor.fromOffsetEmu();
            fromRemoved = !moveMarker(edit, from, fromOffset);
            anchor.setFrom(from, fromOffset);
            toRemoved = anchor.kind() == DrawingAnchor::OneCell;
            if (anchor.kind() == DrawingAnchor::TwoCell) {
                CellAddress to = anchor.to();
                QPoint toOffset = anchor.toOffsetEmu();
                toRemoved = !moveMarker(edit, to, toOffset);
                anchor.setTo(to, toOffset);
            }
        }
        if (!object.keptXml.isEmpty()) {
            // The anchor as it came: its markers' numbers, zero-based.
            bool clearOffset = false;
            bool twoMarkers = false;
            const QByteArray before = object.keptXml;
            object.keptXml = rewriteXmlValues(object.keptXml, m_rootRawAttributes, [&](const XmlValue &where, QString &value) {
                if (!where.attribute.isEmpty() || where.elementNamespace != XmlScanner::SpreadsheetDrawing
                    || (where.parent != QLatin1String("from") && where.parent != QLatin1String("to")))
                    return XmlValueChange::Same;
                if (where.element == index) {
                    bool ok = false;
                    int number = value.trimmed().toInt(&ok) + 1;
                    if (!ok)
                        return XmlValueChange::Same;
                    clearOffset = !moveMarkerIndex(edit, number);
                    if (!modelled && where.parent == QLatin1String("from"))
                        fromRemoved = clearOffset;
                    if (!modelled && where.parent == QLatin1String("to")) {
                        toRemoved = clearOffset;
                        twoMarkers = true;
                    }
                    value = QString::number(number - 1);
                    return XmlValueChange::Replaced;
                }
                if (where.element == offset && clearOffset) {
                    clearOffset = false;
                    value = QStringLiteral("0");
                    return XmlValueChange::Replaced;
                }
                return XmlValueChange::Same;
            });
            if (!modelled && !twoMarkers)
                toRemoved = fromRemoved;
            changed |= object.keptXml != before;
        }
        if (fromRemoved && toRemoved) {
            changed = true;
            continue;
        }
        kept.append(object);
    }
    if (!changed)
        return;
    m_objects = kept;
    m_loadedBytes.clear();   // the objects are written one by one, as they now read
}

} // namespace Spreadsheet
