#ifndef SPREADSHEET_RICHSTRING_H
#define SPREADSHEET_RICHSTRING_H

//! \file richstring.h
//! Cell texts of runs with fonts of their own: RichString.

#include "format.h"

#include <QMetaType>
#include <QSharedDataPointer>
#include <QString>

namespace Spreadsheet {

class RichStringPrivate;

//! A cell text made of runs, each a text with its own format. A plain text is
//! one run without a font of its own; a text of more than one run, or of one
//! run with a font (a bold red word), is rich text.
//!
//! Only the font properties of a run's format count (name, size, bold,
//! italic, colour, ...). RichString is an implicitly shared value, and a
//! QVariant holding one writes rich text through Worksheet::writeValue().
//!
//! \code
//! Spreadsheet::Format red;
//! red.setFontColor(Qt::red);
//! red.setFontBold(true);
//! Spreadsheet::RichString text;
//! text.appendRun(QStringLiteral("Acidity "));
//! text.appendRun(QStringLiteral("above limit"), red);
//! sheet->writeRichText(2, 3, text);
//! \endcode
class RichString
{
public:
    //! The empty text, of no runs.
    RichString();
    //! One run with an empty format.
    RichString(const QString &text);
    //! A copy sharing the runs with other.
    RichString(const RichString &other);
    //! Makes this text share other's runs.
    RichString &operator=(const RichString &other);
    //! Destroys the text.
    ~RichString();

    //! Whether the text is rich: more than one run, or one run whose format
    //! has a font property.
    bool isRichString() const;
    //! Whether every run's text is empty (true for no runs).
    bool isEmpty() const;
    //! The runs' texts joined, without formats.
    QString toPlainString() const;

    //! The number of runs.
    int runCount() const;
    //! The text of a run; empty for an index outside 0 to runCount() - 1.
    QString runText(int index) const;
    //! The format of a run; an invalid Format for an index outside the runs.
    Format runFormat(int index) const;
    //! Appends a run; a format without state (the default) leaves the run to
    //! the cell's font.
    void appendRun(const QString &text, const Format &format = Format());

    //! What identifies the text in the shared string table: the text of a single
    //! run alone (its format does not count), or every run's text and font.
    QByteArray identityKey() const;

    //! Whether the texts have the same runs, texts and fonts (identityKey()).
    friend bool operator==(const RichString &a, const RichString &b);
    //! Whether the texts differ in a run, a text or a font.
    friend bool operator!=(const RichString &a, const RichString &b) { return !(a == b); }
    //! Orders texts by identityKey(), for sorted containers.
    friend bool operator<(const RichString &a, const RichString &b) { return a.identityKey() < b.identityKey(); }

private:
    QSharedDataPointer<RichStringPrivate> d;
};

//! The hash of a text's identityKey(), for QHash and QSet.
uint qHash(const RichString &text, uint seed = 0);

} // namespace Spreadsheet

Q_DECLARE_METATYPE(Spreadsheet::RichString)

#endif // SPREADSHEET_RICHSTRING_H
