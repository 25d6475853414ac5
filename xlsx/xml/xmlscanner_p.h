#ifndef SPREADSHEET_XMLSCANNER_P_H
#define SPREADSHEET_XMLSCANNER_P_H

#include <QByteArray>
#include <QHash>
#include <QLatin1String>
#include <QString>
#include <QVector>

#include <vector>

class QIODevice;

namespace Spreadsheet {

// Reads one XML part of a package, token by token, as UTF-8 bytes: fast
// enough for sheets of millions of cells, and strict where a package part
// may hurt: a document type declaration is refused (no entity of a file is
// ever expanded), nesting deeper than a limit is refused, and malformed
// markup ends the read with an error that gives the byte offset. Namespaces
// are resolved: an element or attribute is matched by its namespace's
// number (the well-known ones below) and its local name, whatever prefix
// the file gives it. Parts in UTF-16 are read too.
//
// Any element can be taken whole as the bytes it was written in
// (captureElement), for the parts of a file the model does not know.
class XmlScanner
{
public:
    enum Token { StartElement, EndElement, Text, EndOfDocument, Invalid };

    // Namespace numbers; others get numbers from Other on.
    enum Namespace {
        NoNamespace = 0,
        XmlNamespace,
        Main,                 // SpreadsheetML
        DocumentRelationships,
        PackageRelationships,
        ContentTypes,
        MarkupCompatibility,
        CoreProperties,
        DublinCore,
        DublinCoreTerms,
        ExtendedProperties,
        DocPropsVTypes,
        CustomProperties,
        Drawing,
        SpreadsheetDrawing,
        Chart,
        Other
    };

    struct Attribute
    {
        int namespaceId;
        QLatin1String localName;
        QLatin1String qualifiedName;
        QLatin1String rawValue;     // as written, entities and all
        bool plain;                 // the raw value needs no decoding
    };

    explicit XmlScanner(QIODevice *device, int maxDepth = 256);
    explicit XmlScanner(const QByteArray &bytes, int maxDepth = 256);
    ~XmlScanner();
    XmlScanner(const XmlScanner &) = delete;
    XmlScanner &operator=(const XmlScanner &) = delete;

    Token next();
    Token token() const { return m_token; }
    bool atEnd() const { return m_token == EndOfDocument || m_token == Invalid; }
    bool hasError() const { return m_token == Invalid; }
    QString errorString() const { return m_error; }
    // Ends the read with an error of the reader's own.
    void raiseError(const QString &message);

    // The current element (start or end).
    int namespaceId() const { return m_namespace; }
    QLatin1String localName() const { return m_localName; }
    QLatin1String qualifiedName() const { return m_qualifiedName; }
    bool is(int namespaceId, const char *localName) const
    {
        return m_namespace == namespaceId && m_localName == QLatin1String(localName);
    }
    // Elements one inside the other, counting the current start element.
    int depth() const { return m_depth; }
    bool isEmptyElement() const { return m_emptyElement; }

    // The current start element's attributes, in the file's order (the
    // namespace declarations among them).
    int attributeCount() const { return int(m_attributes.size()); }
    const Attribute &attribute(int index) const { return m_attributes[size_t(index)]; }
    // An attribute's decoded value (UTF-8) by namespace and local name; a
    // null array when the element lacks it.
    QByteArray value(const char *localName, int namespaceId = NoNamespace) const;
    bool hasAttribute(const char *localName, int namespaceId = NoNamespace) const;
    const Attribute *find(const char *localName, int namespaceId = NoNamespace) const;
    static QByteArray decoded(const Attribute &attribute);

    // The current text, decoded (UTF-8); whether it holds anything but blanks.
    QByteArray text() const;
    bool isWhitespace() const;

    // The text inside the current start element, its children's text
    // included; the scanner then stands on the element's end.
    QByteArray readElementText();
    // The same without copying where it can: a view of the scanner's bytes
    // (valid until the next call of next()) or of scratch.
    QLatin1String readElementTextView(QByteArray &scratch);
    // Moves past the end of the current start element.
    void skipElement();
    // The current start element with everything inside it, as the bytes it
    // was written in; the scanner then stands on the element's end. Tells
    // whether an attribute inside it points at a relationship ("r:id").
    QByteArray captureElement(bool *usesRelationships = nullptr);

    // The namespace a prefix of the current element stands for, and the
    // URI of a namespace number.
    QByteArray namespaceUri(int namespaceId) const;
    int namespaceOf(QLatin1String prefix) const;

    // A cell of a sheet's row in its common shape, taken whole: "<c" with
    // only the attributes r, s and t, plain values, and nothing inside but
    // one "<v>" of plain text, or self-closed. The views stay valid until
    // the next call of next() or takeSimpleCell().
    struct SimpleCell
    {
        QLatin1String reference;
        QLatin1String style;
        QLatin1String type;
        QLatin1String value;
        bool hasValue;
    };
    // Takes the next cell when it has that shape (and the elements of the
    // default namespace are SpreadsheetML's), leaving the scanner as after
    // its end tag; otherwise false, and nothing is taken. For the millions
    // of cells of a large sheet, which the token by token path reads four
    // times more slowly.
    bool takeSimpleCell(SimpleCell &cell);

    // Byte offset of the current token in the document.
    qint64 offset() const { return m_consumed + m_tokenStart; }
    // Byte offset just past the current token (an end tag's ">", an empty
    // element's "/>").
    qint64 endOffset() const { return m_consumed + m_position; }
    // Where in the document a view of the scanner's bytes (an attribute's
    // raw value) begins.
    qint64 offsetOf(const char *position) const { return m_consumed + (position - m_buffer.constData()); }
    // The current text as written: its offset and size in the document, and
    // whether it is a CDATA section (whose bytes are not where the offset says).
    qint64 rawTextOffset() const { return m_consumed + m_textStart; }
    int rawTextSize() const { return m_textEnd - m_textStart; }
    bool isCdataText() const { return m_textIsCdata; }

private:
    struct Binding
    {
        QByteArray prefix;
        int namespaceId;
        int depth;
        int shadowed;   // the binding of the same prefix this one hides (-1 for none); for
                        // the default namespace, the namespace it replaced
    };

    void start();
    void compact();
    bool fill();
    bool ensure(int position);
    int findFrom(int position, char c);
    int findFrom(int position, const char *text);
    int tagEnd(int position);
    static quint64 nameKey(QLatin1String qualifiedName);
    Token fail(const QString &message);
    Token scanMarkup();
    Token scanStartTag();
    Token scanEndTag();
    Token scanText();
    bool skipSpecial();
    bool resolveNamespaces();
    int internNamespace(const QByteArray &uri);
    void bind(const QByteArray &prefix, int namespaceId);
    void popBindings();
    const QLatin1String *repeatedAttribute();
    static void decodeInto(QByteArray &out, const char *data, int size, bool attribute, bool *ok = nullptr);

    QIODevice *m_device = nullptr;
    QByteArray m_buffer;
    int m_position = 0;         // next byte to scan
    int m_tokenStart = 0;
    qint64 m_consumed = 0;      // bytes dropped from the buffer's front
    bool m_deviceDone = false;
    bool m_started = false;
    int m_maxDepth;

    Token m_token = Invalid;
    QString m_error;
    int m_namespace = NoNamespace;
    QLatin1String m_localName;
    QLatin1String m_qualifiedName;
    bool m_emptyElement = false;
    int m_elementColon = -1;    // where the current element's prefix ends
    bool m_pendingEnd = false;  // an empty element's end comes next
    int m_depth = 0;
    bool m_rootSeen = false;
    int m_textStart = 0;
    int m_textEnd = 0;
    bool m_textPlain = true;
    QByteArray m_cdata;         // a CDATA section's text
    bool m_textIsCdata = false;

    std::vector<Attribute> m_attributes;
    QVector<quint64> m_openNames;        // the open elements' qualified names (hash and length)
    QVector<Binding> m_bindings;
    QHash<QByteArray, int> m_innermostBinding;   // prefix -> its binding in scope
    int m_defaultNamespace = NoNamespace;   // the unprefixed names' namespace, as the bindings say
    QVector<QByteArray> m_namespaceUris; // by number
    QHash<QByteArray, int> m_namespaceIds;
    std::vector<QLatin1String> m_sortedNames;   // scratch of repeatedAttribute()

    // Capturing: the bytes of the element being captured that already left
    // the buffer, and where in the buffer the rest begins.
    bool m_holdBuffer = false;  // views of it are in use: no compacting
    bool m_capturing = false;
    QByteArray m_captured;
    int m_captureFrom = 0;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_XMLSCANNER_P_H
