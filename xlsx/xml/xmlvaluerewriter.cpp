#include "xmlvaluerewriter_p.h"

#include "rawxml_p.h"
#include "xmlscanner_p.h"

#include <QTextCodec>
#include <QVector>

#include <algorithm>
#include <vector>

namespace Spreadsheet {

namespace {

struct Splice
{
    qint64 offset;
    qint64 size;
    QByteArray replacement;
};

struct OpenElement
{
    QByteArray name;
    int namespaceId;
    qint64 start;
    bool removed = false;
};

QByteArray escaped(const QString &value, bool attribute)
{
    const QByteArray utf8 = value.toUtf8();
    QByteArray out;
    RawXml::appendEscapedUtf8(out, utf8.constData(), utf8.size(), attribute);
    if (attribute)
        out.replace('\'', "&apos;");
    return out;
}

bool isUtf16(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.startsWith(QByteArray("<\0", 2))
        || bytes.startsWith(QByteArray("\0<", 2));
}

// A part in UTF-16 as UTF-8, its declaration saying so: the splices are
// counted in the UTF-8 the scanner reads.
QByteArray asUtf8(const QByteArray &bytes)
{
    const bool bigEndian = bytes.startsWith("\xFE\xFF") || bytes.startsWith(QByteArray("\0<", 2));
    QTextCodec *codec = QTextCodec::codecForName(bigEndian ? "UTF-16BE" : "UTF-16LE");
    QString text = codec->toUnicode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.startsWith(QLatin1String("<?xml"))) {
        const int end = text.indexOf(QLatin1String("?>"));
        const int encoding = text.indexOf(QLatin1String("encoding"));
        if (end > 0 && encoding > 0 && encoding < end) {
            int open = encoding;
            while (open < end && text.at(open) != QLatin1Char('"') && text.at(open) != QLatin1Char('\''))
                ++open;
            const int close = open < end ? text.indexOf(text.at(open), open + 1) : -1;
            if (close > open && close < end)
                text.replace(open + 1, close - open - 1, QStringLiteral("UTF-8"));
        }
    }
    return text.toUtf8();
}

} // namespace

QByteArray rewriteXmlValues(const QByteArray &bytes, const QByteArray &namespaces,
                            const std::function<XmlValueChange(const XmlValue &where, QString &value)> &change)
{
    const bool wrapped = !namespaces.isEmpty();
    const QByteArray source = !wrapped && isUtf16(bytes) ? asUtf8(bytes) : bytes;
    const QByteArray opening = wrapped ? "<wrapper" + namespaces + '>' : QByteArray();
    XmlScanner scanner(wrapped ? opening + source + "</wrapper>" : source);
    const int firstDepth = wrapped ? 2 : 1;   // the wrapper's own values are not the bytes'
    std::vector<Splice> splices;
    QVector<OpenElement> open;
    int textOwner = -1;         // depth of the element whose text comes next
    auto apply = [&](XmlValueChange result, const XmlValue &where, qint64 offset, qint64 size, const QString &value) {
        switch (result) {
        case XmlValueChange::Same:
            break;
        case XmlValueChange::Replaced:
            splices.push_back({ offset, size, escaped(value, !where.attribute.isEmpty()) });
            break;
        case XmlValueChange::RemoveElement:
            open.last().removed = true;
            break;
        case XmlValueChange::RemoveParent:
            if (open.size() >= firstDepth + 1)
                open[open.size() - 2].removed = true;
            break;
        }
    };
    while (scanner.next() != XmlScanner::EndOfDocument) {
        if (scanner.hasError())
            return bytes;
        if (scanner.token() == XmlScanner::StartElement) {
            const QLatin1String parent = open.isEmpty() ? QLatin1String() : QLatin1String(open.last().name);
            open.append({ QByteArray(scanner.localName().data(), scanner.localName().size()), scanner.namespaceId(),
                          scanner.offset() });
            textOwner = scanner.isEmptyElement() ? -1 : scanner.depth();
            if (scanner.depth() < firstDepth)
                continue;
            for (int i = 0; i < scanner.attributeCount(); ++i) {
                const XmlScanner::Attribute &attribute = scanner.attribute(i);
                if (attribute.qualifiedName.startsWith(QLatin1String("xmlns")))
                    continue;
                QString value = QString::fromUtf8(XmlScanner::decoded(attribute));
                const XmlValue where{ scanner.namespaceId(), scanner.localName(), parent, attribute.localName };
                apply(change(where, value), where, scanner.offsetOf(attribute.rawValue.data()), attribute.rawValue.size(),
                      value);
            }
        } else if (scanner.token() == XmlScanner::EndElement) {
            if (!open.isEmpty()) {
                if (open.last().removed)
                    splices.push_back({ open.last().start, scanner.endOffset() - open.last().start, QByteArray() });
                open.removeLast();
            }
            textOwner = -1;
        } else if (scanner.token() == XmlScanner::Text && textOwner == open.size() && open.size() >= firstDepth
                   && !scanner.isCdataText()) {
            const QLatin1String element(open.last().name);
            const QLatin1String parent = open.size() > 1 ? QLatin1String(open.at(open.size() - 2).name) : QLatin1String();
            QString value = QString::fromUtf8(scanner.text());
            const XmlValue where{ open.last().namespaceId, element, parent, QLatin1String() };
            apply(change(where, value), where, scanner.rawTextOffset(), scanner.rawTextSize(), value);
        }
    }
    if (splices.empty())
        return bytes;
    // In document order; what lies inside a removed element goes with it.
    std::sort(splices.begin(), splices.end(), [](const Splice &a, const Splice &b) {
        return a.offset != b.offset ? a.offset < b.offset : a.size > b.size;
    });
    QByteArray result;
    result.reserve(source.size() + 64);
    qint64 from = 0;
    for (const Splice &splice : splices) {
        const qint64 at = splice.offset - opening.size();
        if (at < from || at + splice.size > source.size())
            continue;   // inside a removed element, or outside the bytes
        result.append(source.constData() + from, int(at - from)).append(splice.replacement);
        from = at + splice.size;
    }
    result.append(source.constData() + from, int(source.size() - from));
    return result;
}

} // namespace Spreadsheet
