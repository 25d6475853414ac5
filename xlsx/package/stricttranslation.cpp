#include "stricttranslation_p.h"

#include "relationships.h"

#include <cstring>

namespace Spreadsheet {
namespace StrictTranslation {

namespace {

const char strictStem[] = "http://purl.oclc.org/ooxml/";
constexpr int strictStemSize = int(sizeof strictStem) - 1;

struct Name
{
    const char *strict;
    const char *transitional;
};

// Longer names first where one begins another: the first that matches wins.
// A relationship type is its namespace, "/" and a name that the two forms
// share, except for the two property parts.
const Name names[] = {
    { "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties",
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" },
    { "http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties",
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" },
    { "http://purl.oclc.org/ooxml/officeDocument/relationships",
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships" },
    { "http://purl.oclc.org/ooxml/officeDocument/extendedProperties",
      "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties" },
    { "http://purl.oclc.org/ooxml/officeDocument/customProperties",
      "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties" },
    { "http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes",
      "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes" },
    { "http://purl.oclc.org/ooxml/officeDocument/sharedTypes",
      "http://schemas.openxmlformats.org/officeDocument/2006/sharedTypes" },
    { "http://purl.oclc.org/ooxml/officeDocument/bibliography",
      "http://schemas.openxmlformats.org/officeDocument/2006/bibliography" },
    { "http://purl.oclc.org/ooxml/officeDocument/customXml",
      "http://schemas.openxmlformats.org/officeDocument/2006/customXml" },
    { "http://purl.oclc.org/ooxml/officeDocument/math", "http://schemas.openxmlformats.org/officeDocument/2006/math" },
    { "http://purl.oclc.org/ooxml/spreadsheetml/main", "http://schemas.openxmlformats.org/spreadsheetml/2006/main" },
    { "http://purl.oclc.org/ooxml/drawingml/spreadsheetDrawing",
      "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" },
    { "http://purl.oclc.org/ooxml/drawingml/chartDrawing", "http://schemas.openxmlformats.org/drawingml/2006/chartDrawing" },
    { "http://purl.oclc.org/ooxml/drawingml/chart", "http://schemas.openxmlformats.org/drawingml/2006/chart" },
    { "http://purl.oclc.org/ooxml/drawingml/main", "http://schemas.openxmlformats.org/drawingml/2006/main" },
    { "http://purl.oclc.org/ooxml/drawingml/picture", "http://schemas.openxmlformats.org/drawingml/2006/picture" },
    { "http://purl.oclc.org/ooxml/drawingml/diagram", "http://schemas.openxmlformats.org/drawingml/2006/diagram" },
    { "http://purl.oclc.org/ooxml/drawingml/lockedCanvas", "http://schemas.openxmlformats.org/drawingml/2006/lockedCanvas" },
    { "http://purl.oclc.org/ooxml/drawingml/compatibility", "http://schemas.openxmlformats.org/drawingml/2006/compatibility" },
    { "http://purl.oclc.org/ooxml/schemaLibrary/main", "http://schemas.openxmlformats.org/schemaLibrary/2006/main" },
};

constexpr int longestName = 80;   // no Strict name above is longer

// Translates in[from, ...) into out, up to limit and through the names that
// begin before it (each lies whole in in); returns where it stopped.
int translate(const QByteArray &in, int from, int limit, QByteArray &out)
{
    int at = from;
    for (;;) {
        const int found = in.indexOf(strictStem, at);
        if (found < 0 || found >= limit) {
            if (at < limit)
                out.append(in.constData() + at, limit - at);
            return qMax(at, limit);
        }
        out.append(in.constData() + at, found - at);
        at = found;
        const Name *match = nullptr;
        for (const Name &name : names) {
            const int size = int(std::strlen(name.strict));
            if (in.size() - found >= size && std::memcmp(in.constData() + found, name.strict, size_t(size)) == 0) {
                match = &name;
                break;
            }
        }
        if (match) {
            out.append(match->transitional);
            at += int(std::strlen(match->strict));
        } else {
            out.append(in.constData() + found, strictStemSize);
            at += strictStemSize;
        }
    }
}

// Reads the Strict device in pieces; the last bytes of a piece wait for the
// next one, so that a name cut between two pieces is still found.
class TransitionalDevice : public QIODevice
{
public:
    explicit TransitionalDevice(std::unique_ptr<QIODevice> strict)
        : m_strict(std::move(strict))
    {
        open(QIODevice::ReadOnly);
    }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_done && m_outAt == m_out.size() && QIODevice::atEnd(); }
    qint64 bytesAvailable() const override { return m_out.size() - m_outAt + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maximum) override
    {
        while (m_out.size() == m_outAt && !m_done) {
            if (!refill())
                return -1;
        }
        const qint64 size = qMin<qint64>(maximum, m_out.size() - m_outAt);
        std::memcpy(data, m_out.constData() + m_outAt, size_t(size));
        m_outAt += int(size);
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool refill()
    {
        m_out.clear();
        m_outAt = 0;
        QByteArray piece(256 * 1024, Qt::Uninitialized);
        const qint64 got = m_strict->read(piece.data(), piece.size());
        if (got < 0) {
            setErrorString(m_strict->errorString());
            return false;
        }
        piece.resize(int(got));
        // The entries this reads are inflated as they are read: nothing
        // read means the end (a stream that waits would need waitForReadyRead).
        m_done = got == 0;
        m_in += piece;
        const int limit = m_done ? m_in.size() : qMax(0, m_in.size() - (longestName - 1));
        const int stopped = translate(m_in, 0, limit, m_out);
        m_in.remove(0, stopped);
        return true;
    }

    std::unique_ptr<QIODevice> m_strict;
    QByteArray m_in;
    QByteArray m_out;
    int m_outAt = 0;
    bool m_done = false;
};

} // namespace

bool isStrictPackage(const QByteArray &packageRelationships)
{
    Relationships relationships;
    if (!relationships.fromXmlBytes(packageRelationships))
        return false;
    for (const Relationship &relationship : relationships.all()) {
        if (relationship.type == QLatin1String("http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument"))
            return true;
    }
    return false;
}

QByteArray toTransitional(const QByteArray &bytes)
{
    if (!bytes.contains(strictStem))
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    translate(bytes, 0, bytes.size(), out);
    return out;
}

std::unique_ptr<QIODevice> transitionalDevice(std::unique_ptr<QIODevice> strict)
{
    return std::make_unique<TransitionalDevice>(std::move(strict));
}

} // namespace StrictTranslation
} // namespace Spreadsheet
