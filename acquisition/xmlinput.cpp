#include "xmlinput.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <cstring>

namespace {

constexpr int utf8Mib = 106;
constexpr int latin1Mib = 4;

struct Signature
{
    const char *codecName = nullptr;
    int markLength = 0;
};

// Byte-order marks, and the first character "<" as the wide encodings write
// it when the file has no mark. UTF-32's marks come first: they begin with
// UTF-16's.
Signature signatureOf(const QByteArray &bytes)
{
    static const struct
    {
        const char *bytes;
        int length;
        Signature signature;
    } known[] = {
        { "\xFF\xFE\x00\x00", 4, { "UTF-32LE", 4 } }, { "\x00\x00\xFE\xFF", 4, { "UTF-32BE", 4 } },
        { "\xEF\xBB\xBF", 3, { "UTF-8", 3 } },         { "\xFE\xFF", 2, { "UTF-16BE", 2 } },
        { "\xFF\xFE", 2, { "UTF-16LE", 2 } },           { "<\x00\x00\x00", 4, { "UTF-32LE", 0 } },
        { "\x00\x00\x00<", 4, { "UTF-32BE", 0 } },     { "<\x00", 2, { "UTF-16LE", 0 } },
        { "\x00<", 2, { "UTF-16BE", 0 } },
    };
    for (const auto &candidate : known) {
        if (bytes.size() >= candidate.length
            && std::memcmp(bytes.constData(), candidate.bytes, size_t(candidate.length)) == 0)
            return candidate.signature;
    }
    return {};
}

bool isWide(const QTextCodec *codec)
{
    switch (codec->mibEnum()) {
    case 1013: case 1014: case 1015:    // UTF-16BE, UTF-16LE, UTF-16
    case 1017: case 1018: case 1019:    // UTF-32, UTF-32BE, UTF-32LE
        return true;
    default:
        return false;
    }
}

// The codec that the XML declaration names, if Qt knows it. A wide encoding
// declared in a file whose bytes are not wide is a contradiction and ignored.
QTextCodec *declaredCodec(const QByteArray &bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral("^<\\?xml\\s[^>]*?\\sencoding\\s*=\\s*([\"'])([A-Za-z][A-Za-z0-9._-]*)\\1"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(512)));
    if (!match.hasMatch())
        return nullptr;
    QTextCodec *codec = QTextCodec::codecForName(match.captured(2).toLatin1());
    return codec && !isWide(codec) ? codec : nullptr;
}

QTextCodec *windowsCodePage()
{
    QTextCodec *codec = QTextCodec::codecForName("windows-1252");
    return codec ? codec : QTextCodec::codecForName("ISO-8859-1");
}

bool startsWithAt(const QString &text, int at, QLatin1String prefix)
{
    return QStringView(text).mid(at).startsWith(prefix);
}

// The position just after the first end marker at or after from; the end of
// the text when there is none.
int skipPast(const QString &text, int from, QLatin1String end)
{
    const int found = text.indexOf(end, from);
    return found < 0 ? text.size() : found + end.size();
}

// The position just after the ">" that closes the markup starting at from,
// skipping ">" inside quoted values.
int skipTag(const QString &text, int from)
{
    QChar quote;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i + 1;
        }
    }
    return text.size();
}

// The position just after a document type declaration, whose internal subset
// may hold declarations, comments and quoted texts with ">" in them.
int skipDoctype(const QString &text, int from)
{
    int brackets = 0;
    QChar quote;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (startsWithAt(text, i, QLatin1String("<!--"))) {
            i = skipPast(text, i + 4, QLatin1String("-->")) - 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            ++brackets;
        } else if (c == QLatin1Char(']')) {
            --brackets;
        } else if (c == QLatin1Char('>') && brackets <= 0) {
            return i + 1;
        }
    }
    return text.size();
}

} // namespace

namespace XmlInput {

QString decode(const QByteArray &bytes)
{
    const Signature signature = signatureOf(bytes);
    if (signature.codecName) {
        QTextCodec *codec = QTextCodec::codecForName(signature.codecName);
        const QByteArray body = bytes.mid(signature.markLength);
        return codec->toUnicode(body.constData(), body.size());
    }
    // The instrument writes its code page whatever it declares: a file that
    // declares UTF-8 without being UTF-8 is read like an undeclared one, and
    // ISO-8859-1 as the Windows code page that extends it (0x80 is the euro
    // sign there), as browsers read that label.
    QTextCodec *codec = declaredCodec(bytes);
    if (codec && codec->mibEnum() == latin1Mib)
        return windowsCodePage()->toUnicode(bytes);
    if (codec && codec->mibEnum() != utf8Mib)
        return codec->toUnicode(bytes);

    QTextCodec::ConverterState state;
    const QString utf8 = QTextCodec::codecForMib(utf8Mib)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return utf8;
    return windowsCodePage()->toUnicode(bytes);
}

int elementDepth(const QString &text, int limit)
{
    int depth = 0;
    int deepest = 0;
    int i = 0;
    while (i < text.size() && deepest <= limit) {
        i = text.indexOf(QLatin1Char('<'), i);
        if (i < 0)
            break;
        if (startsWithAt(text, i, QLatin1String("<!--"))) {
            i = skipPast(text, i + 4, QLatin1String("-->"));
        } else if (startsWithAt(text, i, QLatin1String("<![CDATA["))) {
            i = skipPast(text, i + 9, QLatin1String("]]>"));
        } else if (startsWithAt(text, i, QLatin1String("<?"))) {
            i = skipPast(text, i + 2, QLatin1String("?>"));
        } else if (startsWithAt(text, i, QLatin1String("<!"))) {
            i = skipDoctype(text, i + 2);
        } else if (startsWithAt(text, i, QLatin1String("</"))) {
            --depth;
            i = skipTag(text, i + 2);
        } else {
            const int end = skipTag(text, i + 1);
            const bool empty = end >= 2 && text.at(end - 1) == QLatin1Char('>') && text.at(end - 2) == QLatin1Char('/');
            if (!empty)
                deepest = qMax(deepest, ++depth);
            i = end;
        }
    }
    return deepest;
}

} // namespace XmlInput
