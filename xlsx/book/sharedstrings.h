#ifndef SPREADSHEET_SHAREDSTRINGS_H
#define SPREADSHEET_SHAREDSTRINGS_H

//! \file sharedstrings.h
//! The workbook's table of distinct cell texts: SharedStrings.

#include "abstractooxmlfile.h"
#include "richstring.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QVector>

#include <vector>

class QXmlStreamWriter;

namespace Spreadsheet {

//! The workbook's table of distinct cell texts ("xl/sharedStrings.xml"), in
//! order of first use, with how many cells refer to each. Cells store an
//! entry of it.
//!
//! An entry lives while something refers to it: the cells of the worksheets
//! (addEntry, addReferenceTo, releaseEntry) or the table's callers (addString,
//! addReference, removeString). A caller can take back only the references it
//! added, so that no cell is ever left pointing at a removed entry.
//!
//! Every entry has an index, its position in the table, and an id that stays
//! the entry's for the life of the table; the two are equal until a string is
//! removed, which moves the later entries down by one index. A plain text is
//! kept once, as the UTF-8 the package writes (escaped as cells need it), so
//! that a million cells of text take little room and save fast.
//!
//! The worksheets keep the table up to date as cells are written; programs
//! reach it through Workbook::sharedStrings() and rarely need it.
class SharedStrings : public AbstractOOXmlFile
{
public:
    //! An empty table.
    explicit SharedStrings(CreationMode mode);
    //! Destroys the table.
    ~SharedStrings() override;

    //! Adds one reference and returns the text's index; a text of no runs is
    //! the empty text. A text already in the table gets no new entry.
    int addString(const RichString &text);
    //! Adds one reference to a plain text and returns its index.
    int addString(const QString &text);
    //! The index of the text; -1 when the table does not hold it.
    int indexOf(const RichString &text) const;
    //! The index of a plain text; -1 when the table does not hold it.
    int indexOf(const QString &text) const;
    //! The text at an index. An empty RichString for an index outside the table.
    RichString stringAt(int index) const;
    //! The text at an index without its formats; empty for an index outside the table.
    QString plainTextAt(int index) const;
    //! Adds one caller's reference to the entry at an index; nothing for an
    //! index outside the table.
    void addReference(int index);
    //! Removes one reference that a caller added; the last one removes the
    //! entry and moves the later entries down by one. False, changing
    //! nothing, for a text without such a reference (only cells hold it).
    bool removeString(const RichString &text);
    //! Removes one reference that a caller added to a plain text, as removeString(const RichString &) does.
    bool removeString(const QString &text);

    //! The same by entry id, for the cells that refer to entries: one more
    //! cell refers to the plain text, whose entry id is returned.
    quint32 addEntry(const QString &text);
    //! One more cell refers to the text, whose entry id is returned; a text
    //! of one run without a font is the plain text.
    quint32 addEntry(const RichString &text);
    quint32 addReferenceTo(quint32 id);       //!< One more cell refers to the entry; returns the id, or #noEntry, changing nothing, for an entry that was removed.
    void releaseEntry(quint32 id);            //!< One cell less refers to it; nothing for an entry no cell refers to.
    int indexOfEntry(quint32 id) const;       //!< The entry's index in the table; -1 for an entry that was removed.
    //! The entry's text; an empty RichString for an id the table never gave.
    RichString entryAt(quint32 id) const;
    //! The entry's text without formats; empty for an id the table never gave.
    QString plainTextOfEntry(quint32 id) const;
    //! Whether the entry is rich text.
    bool isRichEntry(quint32 id) const;

    //! The references held, by cells and callers: additions minus removals.
    int count() const { return m_totalCount; }
    //! The number of entries, the distinct texts.
    int uniqueCount() const { return m_entries.size() - m_removedCount; }
    //! Whether the table holds no entry; a save then writes no part for it.
    bool isEmpty() const { return uniqueCount() == 0; }

    //! Writes the table's part, every entry in index order.
    void writeXml(QIODevice *device) const override;
    //! Reads the table of a package; its entries are held for the loader
    //! until releaseLoaded(). False for malformed XML, for a "uniqueCount"
    //! that differs from the entries read, and for texts that take more than
    //! the bytes setReadLimits() allows.
    bool readXml(QIODevice *device) override;
    //! The entry that index n of the table read names (cells of a loaded
    //! sheet refer to entries by it); #noEntry for none.
    quint32 loadedEntry(int index) const;
    //! Gives back the loader's hold on the entries read: those that no cell
    //! uses leave the table.
    void releaseLoaded();
    //! How deep the part's XML may nest, and how many bytes its texts may
    //! take in the table: a part of raw control characters grows sevenfold
    //! when they are escaped, rich runs far more. The defaults are 256 and 1 GiB.
    void setReadLimits(int maxDepth, qint64 maxTextBytes)
    {
        m_maxXmlDepth = maxDepth;
        m_maxTextBytes = maxTextBytes;
    }

    //! The id that names no entry.
    static constexpr quint32 noEntry = 0xFFFFFFFF;

private:
    friend class SheetWriter;
    friend class SheetDataWriter;
    // A plain entry's "t" element, from the bytes the table keeps.
    void appendTextElement(QByteArray &out, quint32 id) const;
    // From now on a text no cell refers to any longer keeps its place: rows
    // written out refer to the texts by their places.
    void keepPositions() { m_keepsPositions = true; }

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
    QByteArray m_storedForm;   // the text being added, in the form the table keeps
    bool m_keepsPositions = false;
    int m_deadTextBytes = 0;                    // of removed plain entries, still in m_text
    mutable QVector<int> m_positions;           // id -> index, while entries were removed
    int m_totalCount = 0;
    QVector<quint32> m_loaded;                  // the table read: index -> entry id
    int m_maxXmlDepth = 256;
    qint64 m_maxTextBytes = qint64(1) << 30;
};

//! Writes a "t" element with the text escaped as cells need it, preserving
//! leading and trailing white space.
void writeCellTextElement(QXmlStreamWriter &writer, const QString &text);

} // namespace Spreadsheet

#endif // SPREADSHEET_SHAREDSTRINGS_H
