#include "sharedstrings.h"
#include "richtextxml_p.h"
#include "fontwriter_p.h"
#include "namespaces.h"
#include "rawxml_p.h"
#include "utility.h"
#include "formatreader_p.h"
#include "xmlscanner_p.h"

#include <QDebug>
#include <QXmlStreamWriter>

#include <cstring>

namespace Spreadsheet {

namespace {

// What the table keeps of a plain text: the UTF-8 of its escaped form, which
// is also what identifies it (escaping changes no two texts into one); into
// a buffer that keeps its room from text to text, so that an ASCII text,
// nearly every text a sheet holds, costs no allocation.
void storeForm(const QString &text, QByteArray &out)
{
    const QString escaped = escapeCellText(text);
    const auto *chars = reinterpret_cast<const char16_t *>(escaped.constData());
    out.resize(escaped.size());
    char *bytes = out.data();
    for (int i = 0; i < escaped.size(); ++i) {
        if (chars[i] >= 0x80) {
            out = escaped.toUtf8();
            return;
        }
        bytes[i] = char(chars[i]);
    }
}

QByteArray storedForm(const QString &text)
{
    QByteArray stored;
    storeForm(text, stored);
    return stored;
}

uint hashOf(const QByteArray &bytes)
{
    return qHashBits(bytes.constData(), size_t(bytes.size()), 0x9E3779B9u);
}

} // namespace

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

SharedStrings::~SharedStrings() = default;

// --- the plain table: open addressing over entry ids

quint32 SharedStrings::findPlain(const QByteArray &stored, uint hash) const
{
    if (m_slots.empty())
        return noEntry;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const quint32 value = m_slots[slot];
        if (value == 0)
            return noEntry;
        if (value == noEntry)
            continue;   // a removed entry
        const Entry &entry = m_entries[value - 1];
        if (entry.length == quint32(stored.size())
            && std::memcmp(m_text.constData() + entry.offset, stored.constData(), entry.length) == 0)
            return value - 1;
    }
}

void SharedStrings::growSlots()
{
    std::vector<quint32> table(qMax<size_t>(1024, m_slots.size() * 2), 0);
    const size_t mask = table.size() - 1;
    for (quint32 id = 0; id < m_entries.size(); ++id) {
        const Entry &entry = m_entries[id];
        if ((entry.flags & Rich) || entry.references == 0)
            continue;
        size_t slot = qHashBits(m_text.constData() + entry.offset, entry.length, 0x9E3779B9u) & mask;
        while (table[slot] != 0)
            slot = (slot + 1) & mask;
        table[slot] = id + 1;
    }
    m_slots.swap(table);
}

quint32 SharedStrings::insertPlain(const QByteArray &stored, uint hash, bool preserveSpace)
{
    // Kept at most half full, removed entries counted, so that probes stay short.
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        growSlots();
    const quint32 id = quint32(m_entries.size());
    m_entries.push_back({ quint32(m_text.size()), quint32(stored.size()), 1, 0,
                          quint8(preserveSpace ? PreserveSpace : 0) });
    m_text.append(stored);
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot] != 0)
        slot = (slot + 1) & mask;
    m_slots[slot] = id + 1;
    m_positions.clear();
    return id;
}

// --- ids and indexes

int SharedStrings::positionOf(quint32 id) const
{
    if (id >= m_entries.size() || m_entries[id].references == 0)
        return -1;
    if (m_removedCount == 0)
        return int(id);
    if (m_positions.isEmpty()) {
        m_positions.resize(int(m_entries.size()));
        int position = 0;
        for (quint32 i = 0; i < m_entries.size(); ++i)
            m_positions[int(i)] = m_entries[i].references > 0 ? position++ : -1;
    }
    return m_positions.at(int(id));
}

quint32 SharedStrings::idAt(int index) const
{
    if (index < 0 || index >= uniqueCount())
        return noEntry;
    if (m_removedCount == 0)
        return quint32(index);
    positionOf(0);   // builds the positions
    for (quint32 id = quint32(index); id < m_entries.size(); ++id) {
        if (m_positions.at(int(id)) == index)
            return id;
    }
    return noEntry;
}

quint32 SharedStrings::findId(const RichString &text) const
{
    if (text.runCount() == 0)
        return findId(RichString(QString()));
    if (!text.isRichString()) {
        const QByteArray stored = storedForm(text.runText(0));
        return findPlain(stored, hashOf(stored));
    }
    return m_richIds.value(text, noEntry);
}

// A reference of a holder to a live entry; noEntry, changing nothing, for
// an id that names none.
quint32 SharedStrings::addReference(quint32 id, Holder holder)
{
    if (id >= m_entries.size() || m_entries[id].references == 0)
        return noEntry;
    ++m_totalCount;
    ++m_entries[id].references;
    if (holder == Cell)
        ++m_entries[id].cellReferences;
    return id;
}

quint32 SharedStrings::add(const QString &text, Holder holder)
{
    QByteArray &stored = m_storedForm;
    storeForm(text, stored);
    const uint hash = hashOf(stored);
    const quint32 id = findPlain(stored, hash);
    if (id != noEntry)
        return addReference(id, holder);
    ++m_totalCount;
    const quint32 added = insertPlain(stored, hash, needsSpacePreserve(text));
    m_entries[added].cellReferences = holder == Cell ? 1 : 0;
    return added;
}

quint32 SharedStrings::add(const RichString &text, Holder holder)
{
    if (text.runCount() == 0)
        return add(QString(), holder);
    if (!text.isRichString())
        return add(text.runText(0), holder);
    const quint32 known = m_richIds.value(text, noEntry);
    if (known != noEntry)
        return addReference(known, holder);
    ++m_totalCount;
    const quint32 id = quint32(m_entries.size());
    m_entries.push_back({ quint32(m_richTexts.size()), 0, 1, holder == Cell ? 1 : 0, Rich });
    m_richTexts.append(text);
    m_richIds.insert(text, id);
    m_positions.clear();
    return id;
}

void SharedStrings::release(quint32 id, Holder holder)
{
    Entry &entry = m_entries[id];
    if (holder == Cell)
        --entry.cellReferences;
    --m_totalCount;
    if (--entry.references == 0) {
        if (m_keepsPositions)
            entry.references = entry.cellReferences = 1;   // the rows written out hold it
        else
            removeEntry(id);
    }
}

quint32 SharedStrings::addEntry(const QString &text)
{
    return add(text, Cell);
}

quint32 SharedStrings::addEntry(const RichString &text)
{
    return add(text, Cell);
}

quint32 SharedStrings::addReferenceTo(quint32 id)
{
    return addReference(id, Cell);
}

void SharedStrings::releaseEntry(quint32 id)
{
    if (id < m_entries.size() && m_entries[id].cellReferences > 0)
        release(id, Cell);
}

int SharedStrings::addString(const RichString &text)
{
    return positionOf(add(text, Caller));
}

int SharedStrings::addString(const QString &text)
{
    return positionOf(add(text, Caller));
}

int SharedStrings::indexOf(const RichString &text) const
{
    const quint32 id = findId(text);
    return id == noEntry ? -1 : positionOf(id);
}

int SharedStrings::indexOf(const QString &text) const
{
    return indexOf(RichString(text));
}

int SharedStrings::indexOfEntry(quint32 id) const
{
    return positionOf(id);
}

bool SharedStrings::isRichEntry(quint32 id) const
{
    return id < m_entries.size() && (m_entries[id].flags & Rich);
}

QByteArray SharedStrings::storedBytes(quint32 id) const
{
    const Entry &entry = m_entries[id];
    return QByteArray::fromRawData(m_text.constData() + entry.offset, int(entry.length));
}

QString SharedStrings::plainTextOfEntry(quint32 id) const
{
    if (id >= m_entries.size())
        return QString();
    if (m_entries[id].flags & Rich)
        return m_richTexts.at(int(m_entries[id].offset)).toPlainString();
    return unescapeCellText(QString::fromUtf8(storedBytes(id)));
}

RichString SharedStrings::entryAt(quint32 id) const
{
    if (id >= m_entries.size())
        return RichString();
    if (m_entries[id].flags & Rich)
        return m_richTexts.at(int(m_entries[id].offset));
    return RichString(plainTextOfEntry(id));
}

RichString SharedStrings::stringAt(int index) const
{
    const quint32 id = idAt(index);
    return id == noEntry ? RichString() : entryAt(id);
}

QString SharedStrings::plainTextAt(int index) const
{
    return stringAt(index).toPlainString();
}

void SharedStrings::addReference(int index)
{
    const quint32 id = idAt(index);
    if (id == noEntry) {
        qDebug("SharedStrings: invlid index");
        return;
    }
    addReference(id, Caller);
}

// The slot of a removed plain entry stays taken, so that the probes of later
// entries go on past it; its text is dropped when enough has died.
void SharedStrings::removeEntry(quint32 id)
{
    Entry &entry = m_entries[id];
    ++m_removedCount;
    m_positions.clear();
    if (entry.flags & Rich) {
        m_richIds.remove(m_richTexts.at(int(entry.offset)));
        m_richTexts[int(entry.offset)] = RichString();
        return;
    }
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hashOf(storedBytes(id)) & mask;; slot = (slot + 1) & mask) {
        if (m_slots[slot] == id + 1) {
            m_slots[slot] = noEntry;
            break;
        }
    }
    m_deadTextBytes += int(entry.length);
    entry.length = 0;
    if (m_deadTextBytes > (1 << 20) && m_deadTextBytes > m_text.size() / 2)
        compactText();
}

void SharedStrings::compactText()
{
    QByteArray text;
    text.reserve(m_text.size() - m_deadTextBytes);
    for (Entry &entry : m_entries) {
        if ((entry.flags & Rich) || entry.references == 0)
            continue;
        const quint32 offset = quint32(text.size());
        text.append(m_text.constData() + entry.offset, int(entry.length));
        entry.offset = offset;
    }
    m_text = text;
    m_deadTextBytes = 0;
}

bool SharedStrings::removeString(const RichString &text)
{
    const quint32 id = findId(text);
    if (id == noEntry || m_entries[id].references == m_entries[id].cellReferences)
        return false;
    release(id, Caller);
    return true;
}

bool SharedStrings::removeString(const QString &text)
{
    return removeString(RichString(text));
}

// --- the part

void SharedStrings::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("sst"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("count"), QString::number(m_totalCount));
    writer.writeAttribute(QStringLiteral("uniqueCount"), QString::number(uniqueCount()));
    if (!isEmpty())
        writer.writeCharacters(QString());   // closes the start tag before the raw entries

    // Plain entries, nearly all of them, go to the device as the bytes they
    // are kept in; rich entries through the stream writer, between two flushes.
    QByteArray buffer;
    auto flush = [&] {
        device->write(buffer);
        buffer.clear();
    };
    for (quint32 id = 0; id < m_entries.size(); ++id) {
        const Entry &entry = m_entries[id];
        if (entry.references == 0)
            continue;
        if (entry.flags & Rich) {
            flush();
            const RichString &text = m_richTexts.at(int(entry.offset));
            writer.writeStartElement(QStringLiteral("si"));
            writeRichTextRuns(writer, text);
            writer.writeEndElement();
            continue;
        }
        buffer.append("<si>");
        appendTextElement(buffer, id);
        buffer.append("</si>");
        if (buffer.size() > (1 << 20))
            flush();
    }
    flush();
    writer.writeEndElement();
    writer.writeEndDocument();
}

void SharedStrings::appendTextElement(QByteArray &out, quint32 id) const
{
    const Entry &entry = m_entries[id];
    out.append((entry.flags & PreserveSpace) ? "<t xml:space=\"preserve\">" : "<t>");
    RawXml::appendEscapedUtf8(out, m_text.constData() + entry.offset, int(entry.length));
    out.append("</t>");
}

void writeRichTextRuns(QXmlStreamWriter &writer, const RichString &text)
{
    for (int run = 0; run < text.runCount(); ++run) {
        writer.writeStartElement(QStringLiteral("r"));
        const Format format = text.runFormat(run);
        if (format.hasFontData()) {
            writer.writeStartElement(QStringLiteral("rPr"));
            FontWriter::writeProperties(writer, format, FontWriter::RunProperties);
            writer.writeEndElement();
        }
        writeCellTextElement(writer, text.runText(run));
        writer.writeEndElement();
    }
}

void readTextRuns(XmlScanner &scanner, QByteArray &plain, RichString &runs, bool &rich)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid
           && !(scanner.token() == XmlScanner::EndElement && scanner.depth() == depth - 1)) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "t")) {
            plain += scanner.readElementText();
        } else if (scanner.is(XmlScanner::Main, "r")) {
            rich = true;
            Format format;
            QByteArray text;
            const int runDepth = scanner.depth();
            while (scanner.next() != XmlScanner::Invalid
                   && !(scanner.token() == XmlScanner::EndElement && scanner.depth() == runDepth - 1)) {
                if (scanner.token() != XmlScanner::StartElement)
                    continue;
                if (scanner.is(XmlScanner::Main, "rPr"))
                    FormatReader::readFont(scanner, format);
                else if (scanner.is(XmlScanner::Main, "t"))
                    text += scanner.readElementText();
                else
                    scanner.skipElement();
            }
            runs.appendRun(unescapeCellText(QString::fromUtf8(text)), format);
        } else {
            scanner.skipElement();
        }
    }
    if (rich && !plain.isEmpty())
        runs.appendRun(unescapeCellText(QString::fromUtf8(plain)));
}

RichString readRichText(XmlScanner &scanner)
{
    QByteArray plain;
    RichString runs;
    bool rich = false;
    readTextRuns(scanner, plain, runs, rich);
    return rich ? runs : RichString(unescapeCellText(QString::fromUtf8(plain)));
}

namespace {

// Whether a text read from a package is already in the form the table keeps
// (the escaped form of its characters): true unless it holds an escape, a
// character that escaping changes, or one of the bytes that could begin
// U+FFFE or U+FFFF.
bool isStoredForm(const QByteArray &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const uchar c = uchar(text.at(i));
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0xEF || (c == '_' && i + 1 < text.size() && text.at(i + 1) == 'x'))
            return false;
    }
    return true;
}

bool startsOrEndsWithBlank(const QByteArray &text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !text.isEmpty() && (blank(text.front()) || blank(text.back()));
}

// At most the bytes the table takes for a text read: each character that
// escaping turns into "_xHHHH_" grows to seven bytes; each run of a rich
// text costs its text twice over (UTF-16) and a format.
qint64 costOf(const QByteArray &plain, const RichString &runs, bool rich)
{
    if (rich) {
        qint64 cost = 0;
        for (int run = 0; run < runs.runCount(); ++run)
            cost += 256 + 2 * qint64(runs.runText(run).size());
        return cost + qint64(plain.size()) * 2;
    }
    qint64 cost = plain.size();
    for (const char c : plain) {
        const uchar u = uchar(c);
        if ((u < 0x20 && u != '\t' && u != '\n') || u == '_' || u == 0xEF)
            cost += 6;
    }
    return cost;
}

} // namespace

quint32 SharedStrings::addStored(const QByteArray &stored, bool preserveSpace, Holder holder)
{
    const uint hash = hashOf(stored);
    const quint32 id = findPlain(stored, hash);
    if (id != noEntry)
        return addReference(id, holder);
    ++m_totalCount;
    const quint32 added = insertPlain(stored, hash, preserveSpace);
    m_entries[added].cellReferences = holder == Cell ? 1 : 0;
    return added;
}

// An "si" element: one "t", or runs ("r", each with its "rPr" and "t");
// phonetic runs and properties are not kept.
bool SharedStrings::readXml(QIODevice *device)
{
    clearReadError();
    XmlScanner scanner(device, m_maxXmlDepth);
    int declared = -1;
    int read = 0;
    qint64 cost = 0;
    while (scanner.next() == XmlScanner::StartElement || scanner.token() == XmlScanner::Text
           || scanner.token() == XmlScanner::EndElement) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "sst")) {
            const QByteArray count = scanner.value("uniqueCount");
            declared = count.isNull() ? -1 : count.toInt();
            continue;
        }
        if (!scanner.is(XmlScanner::Main, "si")) {
            scanner.skipElement();
            continue;
        }
        QByteArray plain;
        RichString runs;
        bool rich = false;
        readTextRuns(scanner, plain, runs, rich);
        if (scanner.hasError())
            break;
        cost += costOf(plain, runs, rich);
        if (cost > m_maxTextBytes) {
            return readFailed(QStringLiteral("its texts take more than %1 bytes (the read limit maxInflatedSize)")
                                  .arg(m_maxTextBytes));
        }
        quint32 id;
        if (rich && runs.isRichString())
            id = add(runs, Caller);
        else if (rich)
            id = add(runs.runText(0), Caller);
        else if (isStoredForm(plain))
            id = addStored(plain, startsOrEndsWithBlank(plain), Caller);
        else
            id = add(unescapeCellText(QString::fromUtf8(plain)), Caller);
        m_loaded.append(id);
        ++read;
    }
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    if (declared >= 0 && declared != read) {
        qDebug("Error: Shared string count");
        return readFailed(QStringLiteral("it says it holds %1 texts, but holds %2").arg(declared).arg(read));
    }
    return true;
}

quint32 SharedStrings::loadedEntry(int index) const
{
    return index >= 0 && index < m_loaded.size() ? m_loaded.at(index) : noEntry;
}

void SharedStrings::releaseLoaded()
{
    const QVector<quint32> loaded = m_loaded;
    m_loaded.clear();
    for (const quint32 id : loaded)
        release(id, Caller);
}

} // namespace Spreadsheet
