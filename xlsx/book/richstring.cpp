#include "richstring.h"
#include "richstring_p.h"

#include <QHash>

namespace Spreadsheet {

namespace {

// Every empty rich string shares one state until it is given a run, so that
// cells without rich text carry no allocation for it.
const QSharedDataPointer<RichStringPrivate> &emptyState()
{
    static const QSharedDataPointer<RichStringPrivate> empty(new RichStringPrivate);
    return empty;
}

} // namespace

RichString::RichString()
    : d(emptyState())
{
}

RichString::RichString(const QString &text)
    : d(new RichStringPrivate)
{
    appendRun(text);
}

RichString::RichString(const RichString &other) = default;
RichString &RichString::operator=(const RichString &other) = default;
RichString::~RichString() = default;

// One run with a font of its own is rich too: a bold red word stays bold
// and red whatever the cell's format.
bool RichString::isRichString() const
{
    return d->texts.size() > 1 || (d->texts.size() == 1 && d->formats.first().hasFontData());
}

bool RichString::isEmpty() const
{
    for (const QString &text : d->texts) {
        if (!text.isEmpty())
            return false;
    }
    return true;
}

QString RichString::toPlainString() const
{
    return d->texts.size() == 1 ? d->texts.first() : d->texts.join(QString());
}

int RichString::runCount() const
{
    return d->texts.size();
}

QString RichString::runText(int index) const
{
    return d->texts.value(index);
}

Format RichString::runFormat(int index) const
{
    return d->formats.value(index);
}

void RichString::appendRun(const QString &text, const Format &format)
{
    d->texts.append(text);
    d->formats.append(format);
    d->identityKeyStale = true;
}

QByteArray RichString::identityKey() const
{
    if (!d->identityKeyStale)
        return d->identityKey;
    QByteArray key;
    if (d->texts.size() == 1 && !isRichString()) {
        key = d->texts.first().toUtf8();
    } else {
        key = "@@RichString=";
        for (int i = 0; i < d->texts.size(); ++i) {
            key += "@Text" + d->texts.at(i).toUtf8() + "@Format";
            if (d->formats.at(i).hasFontData())
                key += d->formats.at(i).fontKey();
        }
    }
    // The cache lives in the shared state; every sharer has the same runs.
    auto *shared = const_cast<RichStringPrivate *>(d.constData());
    shared->identityKey = key;
    shared->identityKeyStale = false;
    return key;
}

bool operator==(const RichString &a, const RichString &b)
{
    return a.runCount() == b.runCount() && a.identityKey() == b.identityKey();
}

uint qHash(const RichString &text, uint seed)
{
    return qHash(text.identityKey(), seed);
}

} // namespace Spreadsheet
