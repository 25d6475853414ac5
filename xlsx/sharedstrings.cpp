#include "sharedstrings.h"
#include "fontwriter_p.h"
#include "namespaces.h"
#include "rawxml_p.h"
#include "utility.h"

#include <QDebug>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Spreadsheet {

void writeCellTextElement(QXmlStreamWriter &writer, const QString &text)
{
    writer.writeStartElement(QStringLiteral("t"));
    if (needsSpacePreserve(text))
        writer.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    writer.writeCharacters(escapeCellText(text));
    writer.writeEndElement();
}

SharedStrings::SharedStrings(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
}

SharedStrings::Entry *SharedStrings::find(const RichString &text)
{
    if (text.runCount() == 1) {
        const auto it = m_plainTable.find(text.runText(0));
        return it == m_plainTable.end() ? nullptr : &it.value();
    }
    const auto it = m_richTable.find(text);
    return it == m_richTable.end() ? nullptr : &it.value();
}

int SharedStrings::add(Entry *entry, const RichString &text)
{
    ++m_totalCount;
    if (entry) {
        ++entry->references;
        return entry->index;
    }
    const int index = m_list.size();
    m_list.append(text);
    if (text.runCount() == 1)
        m_plainTable.insert(text.runText(0), { index, 1 });
    else
        m_richTable.insert(text, { index, 1 });
    return index;
}

int SharedStrings::addString(const RichString &text)
{
    // A text of no runs is the empty text, one entry with the plain "".
    if (text.runCount() == 0)
        return addString(QString());
    return add(find(text), text);
}

int SharedStrings::addString(const QString &text)
{
    const auto it = m_plainTable.find(text);
    if (it != m_plainTable.end()) {
        ++m_totalCount;
        ++it->references;
        return it->index;
    }
    return add(nullptr, RichString(text));
}

QString SharedStrings::plainTextAt(int index) const
{
    return stringAt(index).toPlainString();
}

int SharedStrings::indexOf(const RichString &text) const
{
    if (text.runCount() == 0)
        return indexOf(QString());
    if (text.runCount() == 1)
        return indexOf(text.runText(0));
    const auto it = m_richTable.constFind(text);
    return it != m_richTable.constEnd() ? it->index : -1;
}

int SharedStrings::indexOf(const QString &text) const
{
    const auto it = m_plainTable.constFind(text);
    return it != m_plainTable.constEnd() ? it->index : -1;
}

RichString SharedStrings::stringAt(int index) const
{
    return index >= 0 && index < m_list.size() ? m_list.at(index) : RichString();
}

void SharedStrings::addReference(int index)
{
    if (index < 0 || index >= m_list.size()) {
        qDebug("SharedStrings: invlid index");
        return;
    }
    addString(m_list.at(index));
}

void SharedStrings::reindexFrom(int index)
{
    for (int i = index; i < m_list.size(); ++i) {
        const RichString &text = m_list.at(i);
        if (text.runCount() == 1)
            m_plainTable[text.runText(0)].index = i;
        else
            m_richTable[text].index = i;
    }
}

void SharedStrings::removeString(const RichString &text)
{
    if (text.runCount() == 0) {
        removeString(QString());
        return;
    }
    Entry *entry = find(text);
    if (!entry)
        return;
    --m_totalCount;
    if (--entry->references > 0)
        return;
    const int removed = entry->index;
    if (text.runCount() == 1)
        m_plainTable.remove(text.runText(0));
    else
        m_richTable.remove(text);
    m_list.removeAt(removed);
    reindexFrom(removed);
}

void SharedStrings::removeString(const QString &text)
{
    removeString(RichString(text));
}

void SharedStrings::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("sst"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("count"), QString::number(m_totalCount));
    writer.writeAttribute(QStringLiteral("uniqueCount"), QString::number(m_list.size()));
    if (!m_list.isEmpty())
        writer.writeCharacters(QString());   // closes the start tag before the raw entries

    // Plain entries, nearly all of them, go to the device as bytes; rich
    // entries through the stream writer, between two flushes.
    QByteArray buffer;
    auto flush = [&] {
        device->write(buffer);
        buffer.clear();
    };
    for (const RichString &text : m_list) {
        if (text.isRichString()) {
            flush();
            writer.writeStartElement(QStringLiteral("si"));
            for (int run = 0; run < text.runCount(); ++run)
                writeRun(writer, text.runText(run), text.runFormat(run));
            writer.writeEndElement();
            continue;
        }
        const QString plain = text.toPlainString();
        buffer.append(needsSpacePreserve(plain) ? "<si><t xml:space=\"preserve\">" : "<si><t>");
        RawXml::appendEscaped(buffer, escapeCellText(plain));
        buffer.append("</t></si>");
        if (buffer.size() > (1 << 20))
            flush();
    }
    flush();
    writer.writeEndElement();
    writer.writeEndDocument();
}

void SharedStrings::writeRun(QXmlStreamWriter &writer, const QString &text, const Format &format) const
{
    writer.writeStartElement(QStringLiteral("r"));
    if (format.hasFontData()) {
        writer.writeStartElement(QStringLiteral("rPr"));
        FontWriter::writeProperties(writer, format, FontWriter::RunProperties);
        writer.writeEndElement();
    }
    writeCellTextElement(writer, text);
    writer.writeEndElement();
}

// Reads the entries back (text runs only, without their formats).
bool SharedStrings::readXml(QIODevice *device)
{
    QXmlStreamReader reader(device);
    int declaredCount = -1;
    RichString current;
    bool inEntry = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == QLatin1String("sst") && reader.attributes().hasAttribute(QLatin1String("uniqueCount")))
                declaredCount = reader.attributes().value(QLatin1String("uniqueCount")).toInt();
            else if (reader.name() == QLatin1String("si")) {
                current = RichString();
                inEntry = true;
            } else if (inEntry && reader.name() == QLatin1String("t"))
                current.appendRun(unescapeCellText(reader.readElementText()));
        } else if (token == QXmlStreamReader::EndElement && reader.name() == QLatin1String("si")) {
            inEntry = false;
            add(find(current), current);
        }
    }
    if (reader.hasError())
        return false;
    if (declaredCount >= 0 && declaredCount != m_list.size()) {
        qDebug("Error: Shared string count");
        return false;
    }
    return true;
}

} // namespace Spreadsheet
