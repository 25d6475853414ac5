#ifndef SPREADSHEET_RICHSTRING_H
#define SPREADSHEET_RICHSTRING_H

#include "format.h"

#include <QMetaType>
#include <QSharedDataPointer>
#include <QString>

namespace Spreadsheet {

class RichStringPrivate;

// A cell text made of runs, each a text with its own format. A plain text is
// one run without a font of its own; a text of more than one run, or of one
// run with a font (a bold red word), is rich text.
class RichString
{
public:
    RichString();
    // One run with an empty format.
    RichString(const QString &text);
    RichString(const RichString &other);
    RichString &operator=(const RichString &other);
    ~RichString();

    bool isRichString() const;
    bool isEmpty() const;
    QString toPlainString() const;

    int runCount() const;
    QString runText(int index) const;
    Format runFormat(int index) const;
    void appendRun(const QString &text, const Format &format = Format());

    // What identifies the text in the shared string table: the text of a single
    // run alone (its format does not count), or every run's text and font.
    QByteArray identityKey() const;

    friend bool operator==(const RichString &a, const RichString &b);
    friend bool operator!=(const RichString &a, const RichString &b) { return !(a == b); }
    friend bool operator<(const RichString &a, const RichString &b) { return a.identityKey() < b.identityKey(); }

private:
    QSharedDataPointer<RichStringPrivate> d;
};

uint qHash(const RichString &text, uint seed = 0);

} // namespace Spreadsheet

Q_DECLARE_METATYPE(Spreadsheet::RichString)

#endif // SPREADSHEET_RICHSTRING_H
