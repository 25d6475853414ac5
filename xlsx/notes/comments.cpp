#include "comments_p.h"

#include "namespaces.h"
#include "richtextxml_p.h"
#include "sharedstrings.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace Spreadsheet {

void Comments::writeXml(QIODevice *device) const
{
    QStringList authors;
    for (const CellNote &note : notes) {
        if (!authors.contains(note.author))
            authors.append(note.author);
    }
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("comments"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeStartElement(QStringLiteral("authors"));
    for (const QString &author : qAsConst(authors))
        writer.writeTextElement(QStringLiteral("author"), validXmlText(author));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("commentList"));
    for (auto it = notes.constBegin(); it != notes.constEnd(); ++it) {
        writer.writeStartElement(QStringLiteral("comment"));
        writer.writeAttribute(QStringLiteral("ref"), CellAddress(it.key().first, it.key().second).toText());
        writer.writeAttribute(QStringLiteral("authorId"), QString::number(authors.indexOf(it->author)));
        writer.writeStartElement(QStringLiteral("text"));
        if (it->text.isRichString())
            writeRichTextRuns(writer, it->text);
        else
            writeCellTextElement(writer, it->text.toPlainString());
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
}

bool Comments::readXml(QIODevice *device)
{
    clearReadError();
    XmlScanner scanner(device, m_maxXmlDepth);
    QStringList authors;
    while (scanner.next() != XmlScanner::Invalid && !scanner.atEnd()) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "author")) {
            authors.append(QString::fromUtf8(scanner.readElementText()));
        } else if (scanner.is(XmlScanner::Main, "comment")) {
            const QByteArray reference = scanner.value("ref");
            const CellAddress cell(QString::fromLatin1(reference));
            bool ok = false;
            const int author = scanner.value("authorId").toInt(&ok);
            if (!cell.isValid() || cell.row() > maximumRows || cell.column() > maximumColumns)
                return readFailed(QStringLiteral("a note's cell %1 lies outside the sheet").arg(QString::fromLatin1(reference.left(20))));
            if (!ok || author < 0 || author >= authors.size())
                return readFailed(QStringLiteral("a note names an author the part does not list"));
            CellNote note;
            note.author = authors.at(author);
            const int depth = scanner.depth();
            while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
                if (scanner.token() == XmlScanner::StartElement && scanner.is(XmlScanner::Main, "text"))
                    note.text = readRichText(scanner);
            }
            notes.insert({ cell.row(), cell.column() }, note);
        }
    }
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    return true;
}

namespace VmlDrawing {

namespace {

// Where a note's box sits: from the column right of its cell, a row above
// it, three columns wide and four rows high (column, offset, row, offset of
// each corner), as spreadsheet programs place a new note.
QString anchorOf(int row, int column)
{
    const int top = qMax(row - 2, 0);
    return QStringLiteral("%1, 15, %2, 10, %3, 15, %4, 4").arg(column).arg(top).arg(column + 2).arg(top + 4);
}

} // namespace

QByteArray notesDrawing(const NoteMap &notes, int block)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartElement(QStringLiteral("xml"));
    writer.writeAttribute(QStringLiteral("xmlns:v"), QStringLiteral("urn:schemas-microsoft-com:vml"));
    writer.writeAttribute(QStringLiteral("xmlns:o"), QStringLiteral("urn:schemas-microsoft-com:office:office"));
    writer.writeAttribute(QStringLiteral("xmlns:x"), QStringLiteral("urn:schemas-microsoft-com:office:excel"));
    writer.writeStartElement(QStringLiteral("o:shapelayout"));
    writer.writeAttribute(QStringLiteral("v:ext"), QStringLiteral("edit"));
    writer.writeEmptyElement(QStringLiteral("o:idmap"));
    writer.writeAttribute(QStringLiteral("v:ext"), QStringLiteral("edit"));
    writer.writeAttribute(QStringLiteral("data"), QString::number(block));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("v:shapetype"));
    writer.writeAttribute(QStringLiteral("id"), QStringLiteral("_x0000_t202"));
    writer.writeAttribute(QStringLiteral("coordsize"), QStringLiteral("21600,21600"));
    writer.writeAttribute(QStringLiteral("o:spt"), QStringLiteral("202"));
    writer.writeAttribute(QStringLiteral("path"), QStringLiteral("m,l,21600r21600,l21600,xe"));
    writer.writeEmptyElement(QStringLiteral("v:stroke"));
    writer.writeAttribute(QStringLiteral("joinstyle"), QStringLiteral("miter"));
    writer.writeEmptyElement(QStringLiteral("v:path"));
    writer.writeAttribute(QStringLiteral("gradientshapeok"), QStringLiteral("t"));
    writer.writeAttribute(QStringLiteral("o:connecttype"), QStringLiteral("rect"));
    writer.writeEndElement();
    int shape = block * 1024;
    for (auto it = notes.constBegin(); it != notes.constEnd(); ++it) {
        const int row = it.key().first - 1;
        const int column = it.key().second - 1;
        writer.writeStartElement(QStringLiteral("v:shape"));
        writer.writeAttribute(QStringLiteral("id"), QStringLiteral("_x0000_s%1").arg(++shape));
        writer.writeAttribute(QStringLiteral("type"), QStringLiteral("#_x0000_t202"));
        writer.writeAttribute(QStringLiteral("style"),
                              QStringLiteral("position:absolute;margin-left:59.25pt;margin-top:1.5pt;width:108pt;"
                                             "height:59.25pt;z-index:%1;visibility:%2")
                                  .arg(shape - block * 1024)
                                  .arg(it->visible ? QStringLiteral("visible") : QStringLiteral("hidden")));
        writer.writeAttribute(QStringLiteral("fillcolor"), QStringLiteral("#ffffe1"));
        writer.writeAttribute(QStringLiteral("o:insetmode"), QStringLiteral("auto"));
        writer.writeEmptyElement(QStringLiteral("v:fill"));
        writer.writeAttribute(QStringLiteral("color2"), QStringLiteral("#ffffe1"));
        writer.writeEmptyElement(QStringLiteral("v:shadow"));
        writer.writeAttribute(QStringLiteral("on"), QStringLiteral("t"));
        writer.writeAttribute(QStringLiteral("color"), QStringLiteral("black"));
        writer.writeAttribute(QStringLiteral("obscured"), QStringLiteral("t"));
        writer.writeEmptyElement(QStringLiteral("v:path"));
        writer.writeAttribute(QStringLiteral("o:connecttype"), QStringLiteral("none"));
        writer.writeStartElement(QStringLiteral("v:textbox"));
        writer.writeAttribute(QStringLiteral("style"), QStringLiteral("mso-direction-alt:auto"));
        writer.writeStartElement(QStringLiteral("div"));
        writer.writeAttribute(QStringLiteral("style"), QStringLiteral("text-align:left"));
        writer.writeCharacters(QString());
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeStartElement(QStringLiteral("x:ClientData"));
        writer.writeAttribute(QStringLiteral("ObjectType"), QStringLiteral("Note"));
        writer.writeEmptyElement(QStringLiteral("x:MoveWithCells"));
        writer.writeEmptyElement(QStringLiteral("x:SizeWithCells"));
        writer.writeTextElement(QStringLiteral("x:Anchor"), anchorOf(row, column));
        writer.writeTextElement(QStringLiteral("x:AutoFill"), QStringLiteral("False"));
        writer.writeTextElement(QStringLiteral("x:Row"), QString::number(row));
        writer.writeTextElement(QStringLiteral("x:Column"), QString::number(column));
        if (it->visible)
            writer.writeEmptyElement(QStringLiteral("x:Visible"));
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement();
    return bytes;
}

// Spreadsheet programs write VML that is not always well-formed XML (an
// unclosed "<br>"), so the shapes are found by their text.
void readNotes(const QByteArray &drawing, NoteMap &notes, bool &holdsOtherShapes)
{
    holdsOtherShapes = false;
    static const QRegularExpression clientData(QStringLiteral(R"re(<x:ClientData\b[^>]*ObjectType="(\w+)"(.*?)</x:ClientData>)re"),
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression row(QStringLiteral(R"(<x:Row>\s*(\d+)\s*</x:Row>)"));
    static const QRegularExpression column(QStringLiteral(R"(<x:Column>\s*(\d+)\s*</x:Column>)"));
    const QString text = QString::fromUtf8(drawing);
    for (auto match = clientData.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch data = match.next();
        if (data.captured(1) != QLatin1String("Note")) {
            holdsOtherShapes = true;
            continue;
        }
        const QString inside = data.captured(2);
        const QRegularExpressionMatch rowMatch = row.match(inside);
        const QRegularExpressionMatch columnMatch = column.match(inside);
        if (!rowMatch.hasMatch() || !columnMatch.hasMatch())
            continue;
        const auto key = qMakePair(rowMatch.captured(1).toInt() + 1, columnMatch.captured(1).toInt() + 1);
        auto note = notes.find(key);
        if (note != notes.end())
            note->visible = inside.contains(QLatin1String("<x:Visible"));
    }
}

} // namespace VmlDrawing

} // namespace Spreadsheet
