#ifndef SPREADSHEET_SHAREDSTRINGS_H
#define SPREADSHEET_SHAREDSTRINGS_H

#include "abstractooxmlfile.h"
#include "richstring.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVector>

#include <vector>

class QXmlStreamWriter;

namespace Spreadsheet {

// The workbook's table of distinct cell texts ("xl/sharedStrings.xml"), in
// order of first use, with how many cells refer to each. Cells store an
// entry of it.
//
// An entry lives while something refers to it: the cells of the worksheets
// (addEntry, addReferenceTo, releaseEntry) or the table's callers (addString,
// addReference, removeString). A caller can take back only the references it
// added, so that no cell is ever left pointing at a removed entry.
//
// Every entry has an index, its position in the table, and an id that stays
// the entry's for the life of the table; the two are equal until a string is
// removed, which moves the later entries down by one index. A plain text is
// kept once, as the UTF-8 the package writes (escaped as cells need it), so
// that a million cells of text take little room and save fast.
class SharedStrings : public AbstractOOXmlFile
{
public:
    explicit SharedStrings(CreationMode mode);
    ~SharedStrings() override;

    // Adds one reference and returns the text's index; a text of no runs is
    // the empty text.
    int addString(const RichString &text);
    int addString(const QString &text);
    int indexOf(const RichString &text) const;
    int indexOf(const QString &text) const;
    // An empty RichString for an index outside the table.
    RichString stringAt(int index) const;
    QString plainTextAt(int index) const;
    void addReference(int index);
    // Removes one reference that a caller added; the last one removes the
    // entry and moves the later entries down by one. False, changing
    // nothing, for a text without such a reference (only cells hold it).
    bool removeString(const RichString &text);
    bool removeString(const QString &text);

    // The same by entry id, for the cells that refer to entries.
    quint32 addEntry(const QString &text);
    quint32 addEntry(const RichString &text);
    quint32 addReferenceTo(quint32 id);       // one more cell refers to the entry
    void releaseEntry(quint32 id);            // one cell less refers to it
    int indexOfEntry(quint32 id) const;       // -1 for an entry that was removed
    RichString entryAt(quint32 id) const;
    QString plainTextOfEntry(quint32 id) const;
    bool isRichEntry(quint32 id) const;

    // Additions minus removals.
    int count() const { return m_totalCount; }
    int uniqueCount() const { return m_entries.size() - m_removedCount; }
    bool isEmpty() const { return uniqueCount() == 0; }

    void writeXml(QIODevice *device) const override;
    // Reads the table of a package; its entries are held for the loader
    // until releaseLoaded(). False for malformed XML and for a "uniqueCount"
    // that differs from the entries read.
    bool readXml(QIODevice *device) override;
    // The entry that index n of the table read names (cells of a loaded
    // sheet refer to entries by it); noEntry for none.
    quint32 loadedEntry(int index) const;
    // Gives back the loader's hold on the entries read: those that no cell
    // uses leave the table.
    void releaseLoaded();
    // How deep the part's XML may nest, and how many bytes its texts may
    // take in the table: a part of raw control characters grows sevenfold
    // when they are escaped, rich runs far more.
    void setReadLimits(int maxDepth, qint64 maxTextBytes)
    {
        m_maxXmlDepth = maxDepth;
        m_maxTextBytes = maxTextBytes;
    }

    static constexpr quint32 noEntry = 0xFFFFFFFF;

private:
    struct Entry
    {
        quint32 offset;          // plain: into m_text; rich: into m_richTexts
        quint32 length;          // plain: bytes in m_text
        qint32 references;       // cells and callers; 0 once removed
        qint32 cellReferences;   // the cells among them
        quint8 flags;
    };
    enum EntryFlag : quint8 { Rich = 1, PreserveSpace = 2 };
    enum Holder { Cell, Caller };

    quint32 findPlain(const QByteArray &stored, uint hash) const;
    quint32 insertPlain(const QByteArray &stored, uint hash, bool preserveSpace);
    quint32 findId(const RichString &text) const;
    quint32 add(const QString &text, Holder holder);
    quint32 add(const RichString &text, Holder holder);
    quint32 addReference(quint32 id, Holder holder);
    void release(quint32 id, Holder holder);
    void removeEntry(quint32 id);
    void compactText();
    void growSlots();
    QByteArray storedBytes(quint32 id) const;
    int positionOf(quint32 id) const;
    quint32 idAt(int index) const;

    quint32 addStored(const QByteArray &stored, bool preserveSpace, Holder holder);

    std::vector<Entry> m_entries;               // by id
    QByteArray m_text;                          // the plain entries' UTF-8, back to back
    std::vector<quint32> m_slots;               // open addressing: plain entry id + 1, 0 = free
    QList<RichString> m_richTexts;
    QHash<RichString, quint32> m_richIds;
    int m_removedCount = 0;
    int m_deadTextBytes = 0;                    // of removed plain entries, still in m_text
    mutable QVector<int> m_positions;           // id -> index, while entries were removed
    int m_totalCount = 0;
    QVector<quint32> m_loaded;                  // the table read: index -> entry id
    int m_maxXmlDepth = 256;
    qint64 m_maxTextBytes = qint64(1) << 30;
};

// Writes a "t" element with the text escaped as cells need it, preserving
// leading and trailing white space.
void writeCellTextElement(QXmlStreamWriter &writer, const QString &text);

} // namespace Spreadsheet

#endif // SPREADSHEET_SHAREDSTRINGS_H
