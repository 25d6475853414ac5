#include "xmlscanner_p.h"

#include "namespaces.h"

#include <QIODevice>
#include <QTextCodec>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace Spreadsheet {

namespace {

constexpr int readSize = 256 * 1024;
constexpr int compactFrom = 512 * 1024;
// No markup, text or element taken whole may pass these: a larger one would
// not fit the arrays it is held in, nor any text a cell shows.
constexpr int largestToken = 1 << 30;
constexpr int largestText = 256 << 20;

inline bool isSpace(uchar c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

inline bool isNameStart(uchar c)
{
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

inline bool isNameChar(uchar c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

const char *const knownNamespaces[] = {
    "",
    "http://www.w3.org/XML/1998/namespace",
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://schemas.openxmlformats.org/package/2006/relationships",
    "http://schemas.openxmlformats.org/package/2006/content-types",
    "http://schemas.openxmlformats.org/markup-compatibility/2006",
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties",
    "http://purl.org/dc/elements/1.1/",
    "http://purl.org/dc/terms/",
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties",
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes",
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties",
    "http://schemas.openxmlformats.org/drawingml/2006/main",
    "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing",
    "http://schemas.openxmlformats.org/drawingml/2006/chart",
};

void appendUtf8(QByteArray &out, uint code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6))).append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12))).append(char(0x80 | ((code >> 6) & 0x3F))).append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18))).append(char(0x80 | ((code >> 12) & 0x3F)))
            .append(char(0x80 | ((code >> 6) & 0x3F))).append(char(0x80 | (code & 0x3F)));
    }
}

// The character of a reference "&...;" at data (size bytes up to and with
// the ";"); 0 for none XML allows.
uint referencedCharacter(const char *data, int size)
{
    const QLatin1String name(data + 1, size - 2);
    if (name == QLatin1String("amp"))
        return '&';
    if (name == QLatin1String("lt"))
        return '<';
    if (name == QLatin1String("gt"))
        return '>';
    if (name == QLatin1String("quot"))
        return '"';
    if (name == QLatin1String("apos"))
        return '\'';
    if (name.size() < 2 || name.at(0) != QLatin1Char('#'))
        return 0;
    bool ok = false;
    const uint code = name.at(1) == QLatin1Char('x') ? QByteArray(data + 3, size - 4).toUInt(&ok, 16)
                                                     : QByteArray(data + 2, size - 3).toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF)
        return 0;
    return code;
}

} // namespace

XmlScanner::XmlScanner(QIODevice *device, int maxDepth)
    : m_device(device)
    , m_maxDepth(maxDepth)
{
    for (const char *uri : knownNamespaces)
        internNamespace(QByteArray(uri));
    bind(QByteArray("xml"), XmlNamespace);
    m_token = StartElement;   // anything but the end: nothing read yet
}

XmlScanner::XmlScanner(const QByteArray &bytes, int maxDepth)
    : XmlScanner(static_cast<QIODevice *>(nullptr), maxDepth)
{
    m_buffer = bytes;
    m_deviceDone = true;
}

XmlScanner::~XmlScanner() = default;

XmlScanner::Token XmlScanner::fail(const QString &message)
{
    if (m_token != Invalid) {
        m_error = m_error.isEmpty() ? QStringLiteral("%1 (at byte %2)").arg(message).arg(m_consumed + m_tokenStart)
                                    : m_error;
    }
    m_token = Invalid;
    return Invalid;
}

void XmlScanner::raiseError(const QString &message)
{
    if (m_token != Invalid)
        m_error = message;
    m_token = Invalid;
}

// --- the buffer

bool XmlScanner::fill()
{
    if (m_deviceDone || !m_device)
        return false;
    const int size = m_buffer.size();
    // Views of the buffer may keep it from being compacted: its own size is
    // bounded too, so that growing it never overflows.
    if (size > largestToken || m_captured.size() > largestToken) {
        m_deviceDone = true;
        fail(QStringLiteral("a piece of markup or text is larger than %1 bytes").arg(largestToken));
        return false;
    }
    m_buffer.resize(size + readSize);
    const qint64 got = m_device->read(m_buffer.data() + size, readSize);
    m_buffer.resize(size + int(qMax<qint64>(got, 0)));
    if (got < 0) {
        m_deviceDone = true;
        m_error = m_device->errorString();
        return false;
    }
    if (got == 0 && (m_device->atEnd() || !m_device->waitForReadyRead(30000)))
        m_deviceDone = true;
    return got > 0 || !m_deviceDone;
}

bool XmlScanner::ensure(int position)
{
    while (position >= m_buffer.size()) {
        if (!fill())
            return false;
    }
    return true;
}

// Drops what was scanned, when that is much; what an element being captured
// already holds of it is kept aside first.
void XmlScanner::compact()
{
    if (m_position < compactFrom || m_holdBuffer)
        return;
    if (m_capturing) {
        m_captured.append(m_buffer.constData() + m_captureFrom, m_position - m_captureFrom);
        m_captureFrom = 0;
    }
    m_buffer.remove(0, m_position);
    m_consumed += m_position;
    m_position = 0;
}

int XmlScanner::findFrom(int position, char c)
{
    for (;;) {
        if (position < m_buffer.size()) {
            const void *found = std::memchr(m_buffer.constData() + position, c, size_t(m_buffer.size() - position));
            if (found)
                return int(static_cast<const char *>(found) - m_buffer.constData());
            position = m_buffer.size();
        }
        if (!fill())
            return -1;
    }
}

int XmlScanner::findFrom(int position, const char *text)
{
    const int length = int(std::strlen(text));
    for (;;) {
        const int found = m_buffer.indexOf(text, position);
        if (found >= 0)
            return found;
        position = qMax(position, m_buffer.size() - length + 1);
        if (!fill())
            return -1;
    }
}

// A start and its end tag must name the same element: the length and a
// hash of the name tell them apart.
quint64 XmlScanner::nameKey(QLatin1String qualifiedName)
{
    quint64 hash = 14695981039346656037ull;
    for (const char c : qualifiedName)
        hash = (hash ^ uchar(c)) * 1099511628211ull;
    return (hash << 16) | quint64(qualifiedName.size() & 0xFFFF);
}

// --- the start of the document: byte-order marks and UTF-16

void XmlScanner::start()
{
    m_started = true;
    ensure(3);
    const QByteArray head = m_buffer.left(4);
    if (head.startsWith("\xEF\xBB\xBF")) {
        m_position = 3;
        return;
    }
    const bool littleEndian = head.startsWith("\xFF\xFE") || head.startsWith(QByteArray("<\0", 2));
    const bool bigEndian = head.startsWith("\xFE\xFF") || head.startsWith(QByteArray("\0<", 2));
    if (!littleEndian && !bigEndian)
        return;
    while (fill()) {
    }
    QTextCodec *codec = QTextCodec::codecForName(littleEndian ? "UTF-16LE" : "UTF-16BE");
    const int mark = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF") ? 2 : 0;
    m_buffer = codec->toUnicode(m_buffer.constData() + mark, m_buffer.size() - mark).toUtf8();
}

// --- tokens

XmlScanner::Token XmlScanner::next()
{
    if (m_token == Invalid || m_token == EndOfDocument)
        return m_token;
    if (!m_started)
        start();
    if (m_pendingEnd) {
        // An empty element's end: its names stay as they were.
        m_pendingEnd = false;
        m_emptyElement = false;
        m_attributes.clear();
        m_openNames.removeLast();
        popBindings();
        --m_depth;
        return m_token = EndElement;
    }
    compact();
    m_attributes.clear();
    m_emptyElement = false;
    m_textIsCdata = false;
    for (;;) {
        m_tokenStart = m_position;
        if (!ensure(m_position)) {
            if (!m_error.isEmpty())
                return fail(m_error);
            if (m_depth > 0)
                return fail(QStringLiteral("the document ends inside an element"));
            if (!m_rootSeen)
                return fail(QStringLiteral("the document has no element"));
            return m_token = EndOfDocument;
        }
        if (m_buffer.at(m_position) != '<') {
            const Token token = scanText();
            if (token != Text || m_depth > 0)
                return token;
            if (!isWhitespace())
                return fail(QStringLiteral("there is text outside the root element"));
            continue;
        }
        if (!ensure(m_position + 1))
            return fail(QStringLiteral("the document ends inside a tag"));
        const char second = m_buffer.at(m_position + 1);
        if (second == '/')
            return scanEndTag();
        if (second == '?' || second == '!') {
            if (!skipSpecial())
                return m_token;
            if (m_token == Text)
                return m_token;
            continue;
        }
        return scanStartTag();
    }
}

XmlScanner::Token XmlScanner::scanText()
{
    int end = findFrom(m_position, '<');
    if (end < 0) {
        if (!m_error.isEmpty())
            return fail(m_error);
        end = m_buffer.size();
    }
    m_textStart = m_position;
    m_textEnd = end;
    const char *data = m_buffer.constData() + m_textStart;
    const int size = m_textEnd - m_textStart;
    bool reference = false;
    m_textPlain = true;
    for (int i = 0; i < size; ++i) {
        if (data[i] == '&')
            reference = true;
        if (data[i] == '&' || data[i] == '\r')
            m_textPlain = false;
    }
    if (reference) {
        bool ok = true;
        QByteArray scratch;
        decodeInto(scratch, data, size, false, &ok);
        if (!ok)
            return fail(QStringLiteral("the text holds a reference XML does not define"));
    }
    m_position = end;
    return m_token = Text;
}

// Comments, processing instructions and CDATA sections; a document type
// declaration is refused. False after an error; a CDATA section inside an
// element becomes the current text token.
bool XmlScanner::skipSpecial()
{
    m_token = StartElement;   // no token yet
    auto skipPast = [this](const char *end) {
        const int found = findFrom(m_position + 2, end);
        if (found < 0) {
            fail(QStringLiteral("the document ends inside markup"));
            return false;
        }
        m_position = found + int(std::strlen(end));
        return true;
    };
    ensure(m_position + 9);
    const QLatin1String head(m_buffer.constData() + m_position, qMin(9, m_buffer.size() - m_position));
    if (head.startsWith(QLatin1String("<?"))) {
        const int start = m_position;
        if (!skipPast("?>"))
            return false;
        const QByteArray instruction = m_buffer.mid(start, m_position - start);
        if (instruction.startsWith("<?xml ") || instruction.startsWith("<?xml\t") || instruction.startsWith("<?xml\r")
            || instruction.startsWith("<?xml\n")) {
            const int at = instruction.indexOf("encoding");
            if (at >= 0) {
                const QByteArray rest = instruction.mid(at + 8).trimmed();
                const int open = rest.indexOf('"') >= 0 && (rest.indexOf('\'') < 0 || rest.indexOf('"') < rest.indexOf('\''))
                                     ? rest.indexOf('"') : rest.indexOf('\'');
                const int close = open >= 0 ? rest.indexOf(rest.at(open), open + 1) : -1;
                const QByteArray encoding = close > open ? rest.mid(open + 1, close - open - 1).toLower() : QByteArray();
                if (encoding != "utf-8" && encoding != "utf-16" && encoding != "us-ascii" && encoding != "ascii") {
                    fail(QStringLiteral("the part is encoded in %1, not in UTF-8 or UTF-16")
                             .arg(QString::fromLatin1(encoding.left(40))));
                    return false;
                }
            }
        }
        return true;
    }
    if (head.startsWith(QLatin1String("<!--")))
        return skipPast("-->");
    if (head.startsWith(QLatin1String("<![CDATA["))) {
        const int start = m_position + 9;
        const int found = findFrom(start, "]]>");
        if (found < 0) {
            fail(QStringLiteral("the document ends inside a CDATA section"));
            return false;
        }
        if (m_depth == 0) {
            fail(QStringLiteral("there is text outside the root element"));
            return false;
        }
        m_cdata = m_buffer.mid(start, found - start);
        m_cdata.replace("\r\n", "\n").replace('\r', '\n');
        m_textIsCdata = true;
        m_position = found + 3;
        m_token = Text;
        return true;
    }
    if (head.startsWith(QLatin1String("<!DOCTYPE")) || head.startsWith(QLatin1String("<!doctype"))) {
        fail(QStringLiteral("a document type declaration, which no package part may hold"));
        return false;
    }
    fail(QStringLiteral("the markup is broken"));
    return false;
}


// The ">" that ends the tag starting at position, outside quoted values;
// -1 when the document ends first. One pass, however many values the tag has.
int XmlScanner::tagEnd(int position)
{
    int i = position;
    char quote = 0;
    for (;;) {
        const char *data = m_buffer.constData();
        const int size = m_buffer.size();
        for (; i < size; ++i) {
            const char c = data[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return i;
            }
        }
        if (!fill())
            return -1;
    }
}

// The whole tag is in the buffer first; then one pass over its bytes: the
// name, each attribute (where a colon stands in each name is noted, for the
// namespaces), each value checked once.
XmlScanner::Token XmlScanner::scanStartTag()
{
    const int end = tagEnd(m_position + 1);
    if (end < 0)
        return fail(QStringLiteral("a tag is not closed"));
    const char *data = m_buffer.constData();
    const char *p = data + m_position + 1;
    const char *const last = data + end;   // the ">"
    if (!isNameStart(uchar(*p)))
        return fail(QStringLiteral("an element has no valid name"));
    const char *name = p;
    m_elementColon = -1;
    for (; p < last && isNameChar(uchar(*p)); ++p) {
        if (*p == ':' && m_elementColon < 0)
            m_elementColon = int(p - name);
    }
    m_qualifiedName = QLatin1String(name, int(p - name));
    bool anyPrefix = m_elementColon >= 0;
    for (;;) {
        const char *before = p;
        while (p < last && isSpace(uchar(*p)))
            ++p;
        if (p == last)
            break;
        if (*p == '/' && p + 1 == last) {
            m_emptyElement = true;
            break;
        }
        if (p == before || !isNameStart(uchar(*p)))
            return fail(QStringLiteral("an attribute is malformed"));
        const char *attributeName = p;
        int colon = -1;
        for (; p < last && isNameChar(uchar(*p)); ++p) {
            if (*p == ':' && colon < 0)
                colon = int(p - attributeName);
        }
        const QLatin1String qualified(attributeName, int(p - attributeName));
        while (p < last && isSpace(uchar(*p)))
            ++p;
        if (p == last || *p != '=')
            return fail(QStringLiteral("an attribute is malformed"));
        ++p;
        while (p < last && isSpace(uchar(*p)))
            ++p;
        if (p == last || (*p != '"' && *p != '\''))
            return fail(QStringLiteral("an attribute is malformed"));
        const char quote = *p++;
        const char *value = p;
        bool plain = true;
        bool reference = false;
        for (; p < last && *p != quote; ++p) {
            const char v = *p;
            if (v == '<')
                return fail(QStringLiteral("an attribute value holds \"<\""));
            if (v == '&' || v == '\t' || v == '\n' || v == '\r') {
                plain = false;
                reference |= v == '&';
            }
        }
        if (p == last)
            return fail(QStringLiteral("an attribute is malformed"));
        const int size = int(p - value);
        ++p;
        if (reference) {
            bool ok = true;
            QByteArray scratch;
            decodeInto(scratch, value, size, true, &ok);
            if (!ok)
                return fail(QStringLiteral("an attribute value holds a reference XML does not define"));
        }
        // Until the namespaces are resolved, a prefixed name's colon is
        // kept in its local name's place.
        anyPrefix |= colon >= 0 || (qualified.size() >= 5 && std::memcmp(attributeName, "xmlns", 5) == 0);
        m_attributes.push_back({ NoNamespace, colon >= 0 ? QLatin1String(attributeName + colon + 1, qualified.size() - colon - 1)
                                                         : qualified,
                                 qualified, QLatin1String(value, size), plain });
        m_attributes.back().namespaceId = colon >= 0 ? -3 : NoNamespace;   // -3: a prefix to resolve
    }
    if (const QLatin1String *twice = repeatedAttribute())
        return fail(QStringLiteral("an element has the attribute %1 twice").arg(QString(twice->left(qMin(twice->size(), 100)))));
    if (m_rootSeen && m_depth == 0)
        return fail(QStringLiteral("the document has a second root element"));
    m_rootSeen = true;
    if (++m_depth > m_maxDepth)
        return fail(QStringLiteral("the elements are nested deeper than %1 levels").arg(m_maxDepth));
    if (anyPrefix) {
        if (!resolveNamespaces())
            return m_token;
    } else {
        m_localName = m_qualifiedName;
        m_namespace = m_defaultNamespace;
    }
    m_openNames.append(nameKey(m_qualifiedName));
    m_position = end + 1;
    m_pendingEnd = m_emptyElement;
    return m_token = StartElement;
}

// The attribute named twice in the current start tag, if any: pairs for
// the few attributes of most tags, sorted names for many.
const QLatin1String *XmlScanner::repeatedAttribute()
{
    const size_t count = m_attributes.size();
    if (count <= 16) {
        for (size_t i = 1; i < count; ++i) {
            for (size_t j = 0; j < i; ++j) {
                if (m_attributes[i].qualifiedName == m_attributes[j].qualifiedName)
                    return &m_attributes[i].qualifiedName;
            }
        }
        return nullptr;
    }
    m_sortedNames.clear();
    for (const Attribute &attribute : m_attributes)
        m_sortedNames.push_back(attribute.qualifiedName);
    auto less = [](QLatin1String a, QLatin1String b) {
        const int common = qMin(a.size(), b.size());
        const int order = std::memcmp(a.data(), b.data(), size_t(common));
        return order < 0 || (order == 0 && a.size() < b.size());
    };
    std::sort(m_sortedNames.begin(), m_sortedNames.end(), less);
    for (size_t i = 1; i < m_sortedNames.size(); ++i) {
        if (m_sortedNames[i] == m_sortedNames[i - 1])
            return &m_sortedNames[i];
    }
    return nullptr;
}

int XmlScanner::internNamespace(const QByteArray &uri)
{
    const auto known = m_namespaceIds.constFind(uri);
    if (known != m_namespaceIds.constEnd())
        return known.value();
    m_namespaceUris.append(uri);
    m_namespaceIds.insert(uri, m_namespaceUris.size() - 1);
    return m_namespaceUris.size() - 1;
}

int XmlScanner::namespaceOf(QLatin1String prefix) const
{
    if (prefix.isEmpty())
        return m_defaultNamespace;
    const auto bound = m_innermostBinding.constFind(QByteArray::fromRawData(prefix.data(), prefix.size()));
    return bound == m_innermostBinding.constEnd() ? -1 : m_bindings.at(bound.value()).namespaceId;
}

// A binding remembers what it hides: the binding of its prefix in scope, or
// for the default namespace the one in effect, restored when it goes.
void XmlScanner::bind(const QByteArray &prefix, int namespaceId)
{
    int shadowed = m_defaultNamespace;
    if (!prefix.isEmpty()) {
        shadowed = m_innermostBinding.value(prefix, -1);
        m_innermostBinding.insert(prefix, m_bindings.size());
    }
    m_bindings.append({ prefix, namespaceId, m_depth, shadowed });
}

void XmlScanner::popBindings()
{
    while (!m_bindings.isEmpty() && m_bindings.last().depth == m_depth) {
        const Binding &binding = m_bindings.last();
        if (binding.prefix.isEmpty())
            m_defaultNamespace = binding.shadowed;
        else if (binding.shadowed >= 0)
            m_innermostBinding.insert(binding.prefix, binding.shadowed);
        else
            m_innermostBinding.remove(binding.prefix);
        m_bindings.removeLast();
    }
}

QByteArray XmlScanner::namespaceUri(int namespaceId) const
{
    return m_namespaceUris.value(namespaceId);
}

bool XmlScanner::resolveNamespaces()
{
    for (Attribute &attribute : m_attributes) {
        const QLatin1String name = attribute.qualifiedName;
        const bool declaration = name.size() >= 5 && std::memcmp(name.data(), "xmlns", 5) == 0
            && (name.size() == 5 || name.data()[5] == ':');
        if (declaration) {
            const QByteArray prefix = name.size() > 5 ? QByteArray(name.data() + 6, name.size() - 6) : QByteArray();
            const QByteArray uri = decoded(attribute);
            if (!prefix.isEmpty() && uri.isEmpty()) {
                fail(QStringLiteral("the prefix %1 is declared without a namespace").arg(QString::fromUtf8(prefix)));
                return false;
            }
            bind(prefix, internNamespace(uri));
            if (prefix.isEmpty())
                m_defaultNamespace = m_bindings.last().namespaceId;
            attribute.namespaceId = -1;   // a declaration
            attribute.localName = name.size() > 5 ? name.mid(6) : QLatin1String();
        }
    }
    if (m_elementColon < 0) {
        m_localName = m_qualifiedName;
        m_namespace = m_defaultNamespace;
    } else {
        m_localName = m_qualifiedName.mid(m_elementColon + 1);
        m_namespace = namespaceOf(m_qualifiedName.left(m_elementColon));
    }
    if (m_namespace < 0) {
        fail(QStringLiteral("the prefix %1 is not declared").arg(QString(m_qualifiedName.left(m_elementColon))));
        return false;
    }
    for (Attribute &attribute : m_attributes) {
        if (attribute.namespaceId != -3)
            continue;
        const QLatin1String prefix = attribute.qualifiedName.left(attribute.qualifiedName.size() - attribute.localName.size() - 1);
        attribute.namespaceId = namespaceOf(prefix);
        if (attribute.namespaceId < 0) {
            fail(QStringLiteral("the prefix %1 is not declared").arg(QString(prefix)));
            return false;
        }
    }
    return true;
}

XmlScanner::Token XmlScanner::scanEndTag()
{
    const int end = findFrom(m_position + 2, '>');
    if (end < 0)
        return fail(QStringLiteral("a tag is not closed"));
    const char *data = m_buffer.constData();
    int p = m_position + 2;
    const int nameStart = p;
    while (p < end && isNameChar(uchar(data[p])))
        ++p;
    m_qualifiedName = QLatin1String(data + nameStart, p - nameStart);
    while (p < end && isSpace(uchar(data[p])))
        ++p;
    if (p != end || m_qualifiedName.isEmpty())
        return fail(QStringLiteral("an end tag is malformed"));
    if (m_depth == 0 || m_openNames.last() != nameKey(m_qualifiedName))
        return fail(QStringLiteral("the end tag </%1> does not match its start").arg(QString(m_qualifiedName.left(qMin(m_qualifiedName.size(), 100)))));
    const char *colon = static_cast<const char *>(std::memchr(m_qualifiedName.data(), ':', size_t(m_qualifiedName.size())));
    if (colon) {
        const int at = int(colon - m_qualifiedName.data());
        m_localName = m_qualifiedName.mid(at + 1);
        m_namespace = namespaceOf(m_qualifiedName.left(at));
    } else {
        m_localName = m_qualifiedName;
        m_namespace = m_defaultNamespace;
    }
    m_openNames.removeLast();
    popBindings();
    --m_depth;
    m_position = end + 1;
    return m_token = EndElement;
}

// --- values

void XmlScanner::decodeInto(QByteArray &out, const char *data, int size, bool attribute, bool *ok)
{
    int run = 0;
    for (int i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '&' && c != '\r' && !(attribute && (c == '\t' || c == '\n')))
            continue;
        out.append(data + run, i - run);
        run = i + 1;
        if (c == '&') {
            const char *semicolon = static_cast<const char *>(std::memchr(data + i, ';', size_t(qMin(size - i, 12))));
            const uint code = semicolon ? referencedCharacter(data + i, int(semicolon - (data + i)) + 1) : 0;
            if (!code) {
                if (ok)
                    *ok = false;
                out.append('&');
                continue;
            }
            appendUtf8(out, code);
            run = int(semicolon - data) + 1;
            i = run - 1;
        } else if (c == '\r') {
            // A line break as CR LF or CR alone is one line feed (a blank in attributes).
            if (i + 1 < size && data[i + 1] == '\n')
                ++i, ++run;
            out.append(attribute ? ' ' : '\n');
        } else {
            out.append(' ');
        }
    }
    out.append(data + run, size - run);
}

QByteArray XmlScanner::decoded(const Attribute &attribute)
{
    if (attribute.plain)
        return QByteArray(attribute.rawValue.data(), attribute.rawValue.size());
    QByteArray out;
    decodeInto(out, attribute.rawValue.data(), attribute.rawValue.size(), true);
    return out;
}

const XmlScanner::Attribute *XmlScanner::find(const char *localName, int namespaceId) const
{
    const QLatin1String name(localName);
    for (const Attribute &attribute : m_attributes) {
        if (attribute.namespaceId == namespaceId && attribute.localName == name)
            return &attribute;
    }
    return nullptr;
}

QByteArray XmlScanner::value(const char *localName, int namespaceId) const
{
    const Attribute *attribute = find(localName, namespaceId);
    return attribute ? decoded(*attribute) : QByteArray();
}

bool XmlScanner::hasAttribute(const char *localName, int namespaceId) const
{
    return find(localName, namespaceId) != nullptr;
}

QByteArray XmlScanner::text() const
{
    if (m_token != Text)
        return QByteArray();
    if (m_textIsCdata)
        return m_cdata;
    const char *data = m_buffer.constData() + m_textStart;
    const int size = m_textEnd - m_textStart;
    if (m_textPlain)
        return QByteArray(data, size);
    QByteArray out;
    decodeInto(out, data, size, false);
    return out;
}

bool XmlScanner::isWhitespace() const
{
    if (m_token != Text || m_textIsCdata)
        return m_token == Text && m_cdata.trimmed().isEmpty();
    for (int i = m_textStart; i < m_textEnd; ++i) {
        if (!isSpace(uchar(m_buffer.at(i))))
            return false;
    }
    return true;
}

QByteArray XmlScanner::readElementText()
{
    QByteArray text;
    const int depth = m_depth;
    while (next() != Invalid) {
        if (m_token == Text) {
            text += this->text();
            if (text.size() > largestText) {
                fail(QStringLiteral("a text is longer than %1 bytes").arg(largestText));
                return QByteArray();
            }
        } else if (m_token == EndElement && m_depth == depth - 1) {
            break;
        }
    }
    return text;
}

bool XmlScanner::takeSimpleCell(SimpleCell &cell)
{
    if (m_token == Invalid || m_pendingEnd || m_defaultNamespace != Main || m_holdBuffer)
        return false;
    compact();
    // The whole cell must be in the buffer; cells are short.
    if (m_buffer.size() - m_position < 1024)
        fill();
    const char *data = m_buffer.constData();
    const char *p = data + m_position;
    const char *const end = data + m_buffer.size();
    while (p < end && isSpace(uchar(*p)))
        ++p;
    if (end - p < 4 || p[0] != '<' || p[1] != 'c' || !(isSpace(uchar(p[2])) || p[2] == '>' || p[2] == '/'))
        return false;
    p += 2;
    cell = SimpleCell{ QLatin1String(), QLatin1String(), QLatin1String(), QLatin1String(), false };
    for (;;) {
        while (p < end && isSpace(uchar(*p)))
            ++p;
        if (p >= end)
            return false;
        if (*p == '/' || *p == '>')
            break;
        QLatin1String *target = nullptr;
        if (p + 3 < end && p[1] == '=' && (p[2] == '"' || p[2] == '\'')) {
            if (*p == 'r')
                target = &cell.reference;
            else if (*p == 's')
                target = &cell.style;
            else if (*p == 't')
                target = &cell.type;
        }
        if (!target || target->data())
            return false;   // another attribute, blanks around "=", or one twice
        const char quote = p[2];
        const char *value = p + 3;
        const char *closing = value;
        while (closing < end && *closing != quote) {
            const char c = *closing;
            if (c == '&' || c == '<' || c == '\t' || c == '\n' || c == '\r')
                return false;
            ++closing;
        }
        if (closing >= end)
            return false;
        *target = QLatin1String(value, int(closing - value));
        p = closing + 1;
        if (p < end && !isSpace(uchar(*p)) && *p != '/' && *p != '>')
            return false;
    }
    if (*p == '/') {
        if (p + 1 >= end || p[1] != '>')
            return false;
        p += 2;
    } else {
        ++p;
        if (end - p >= 3 && std::memcmp(p, "<v>", 3) == 0) {
            const char *text = p + 3;
            const char *open = static_cast<const char *>(std::memchr(text, '<', size_t(end - text)));
            if (!open || end - open < 4 || std::memcmp(open, "</v>", 4) != 0)
                return false;
            for (const char *c = text; c < open; ++c) {
                if (*c == '&' || *c == '\r')
                    return false;
            }
            cell.value = QLatin1String(text, int(open - text));
            cell.hasValue = true;
            p = open + 4;
        }
        if (end - p < 4 || std::memcmp(p, "</c>", 4) != 0)
            return false;
        p += 4;
    }
    m_tokenStart = m_position;
    m_position = int(p - data);
    m_attributes.clear();
    m_token = EndElement;
    m_namespace = Main;
    m_localName = m_qualifiedName = QLatin1String("c");
    m_emptyElement = false;
    return true;
}

QLatin1String XmlScanner::readElementTextView(QByteArray &scratch)
{
    const int depth = m_depth;
    // Offsets, not pointers: the buffer may grow (and move) meanwhile.
    int start = 0;
    int end = 0;
    bool inScratch = false;
    m_holdBuffer = true;
    while (next() != Invalid) {
        if (m_token == Text) {
            if (!inScratch && end == start && m_textPlain && !m_textIsCdata) {
                start = m_textStart;
                end = m_textEnd;
            } else {
                if (!inScratch)
                    scratch = m_buffer.mid(start, end - start);
                inScratch = true;
                scratch += text();
                if (scratch.size() > largestText) {
                    fail(QStringLiteral("a text is longer than %1 bytes").arg(largestText));
                    break;
                }
            }
        } else if (m_token == EndElement && m_depth == depth - 1) {
            break;
        }
    }
    m_holdBuffer = false;
    if (inScratch)
        return QLatin1String(scratch.constData(), scratch.size());
    return QLatin1String(m_buffer.constData() + start, end - start);
}

void XmlScanner::skipElement()
{
    const int depth = m_depth;
    while (next() != Invalid) {
        if (m_token == EndElement && m_depth == depth - 1)
            break;
    }
}

QByteArray XmlScanner::captureElement(bool *usesRelationships)
{
    m_capturing = true;
    m_captured.clear();
    m_captureFrom = m_tokenStart;
    bool uses = false;
    const int depth = m_depth;
    do {
        if (m_token == StartElement) {
            for (const Attribute &attribute : m_attributes)
                uses |= attribute.namespaceId == DocumentRelationships;
        }
    } while (next() != Invalid && !(m_token == EndElement && m_depth == depth - 1));
    if (usesRelationships)
        *usesRelationships = uses;
    m_captured.append(m_buffer.constData() + m_captureFrom, m_position - m_captureFrom);
    m_capturing = false;
    return hasError() ? QByteArray() : m_captured;
}

} // namespace Spreadsheet
