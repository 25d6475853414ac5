#ifndef SPREADSHEET_SHAREDSTRINGS_H
#define SPREADSHEET_SHAREDSTRINGS_H

#include "abstractooxmlfile.h"
#include "richstring.h"

#include <QHash>
#include <QList>

class QXmlStreamWriter;

namespace Spreadsheet {

// The workbook's table of distinct cell texts ("xl/sharedStrings.xml"), in
// order of first use, with how many cells refer to each. Cells store an
// index into it.
class SharedStrings : public AbstractOOXmlFile
{
public:
    explicit SharedStrings(CreationMode mode);

    int addString(const RichString &text);
    int addString(const QString &text);
    // The text of the entry as the table holds it; cells keep this copy, so
    // that repeated texts share their characters.
    QString plainTextAt(int index) const;
    int indexOf(const RichString &text) const;
    int indexOf(const QString &text) const;
    // An empty RichString for an index outside the table.
    RichString stringAt(int index) const;
    void addReference(int index);
    // Removes one reference; the last one removes the entry and moves the later
    // entries down by one.
    void removeString(const RichString &text);
    void removeString(const QString &text);

    // Additions minus removals.
    int count() const { return m_totalCount; }
    int uniqueCount() const { return m_list.size(); }
    bool isEmpty() const { return m_list.isEmpty(); }

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;

private:
    struct Entry
    {
        int index;
        int references;
    };

    void writeRun(QXmlStreamWriter &writer, const QString &text, const Format &format) const;
    Entry *find(const RichString &text);
    int add(Entry *entry, const RichString &text);
    void reindexFrom(int index);

    // A one-run entry is identified by its text alone, so those entries are
    // found by their text, without building their identity key; entries of
    // any other number of runs are found by the key.
    QHash<QString, Entry> m_plainTable;
    QHash<RichString, Entry> m_richTable;
    QList<RichString> m_list;
    int m_totalCount = 0;
};

// Writes a "t" element with the text escaped as cells need it, preserving
// leading and trailing white space.
void writeCellTextElement(QXmlStreamWriter &writer, const QString &text);

} // namespace Spreadsheet

#endif // SPREADSHEET_SHAREDSTRINGS_H
