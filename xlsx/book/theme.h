#ifndef SPREADSHEET_THEME_H
#define SPREADSHEET_THEME_H

#include "abstractooxmlfile.h"

namespace Spreadsheet {

// The default theme document, NUL-terminated UTF-8 (6,995 bytes without the
// terminator).
extern const char defaultThemeText[];

// The theme part ("xl/theme/theme1.xml"): the default theme, or the bytes of a
// loaded theme written back unchanged.
class Theme : public AbstractOOXmlFile
{
public:
    explicit Theme(CreationMode mode);

    // The part a package holds the theme in.
    static QString partName() { return QStringLiteral("xl/theme/theme1.xml"); }

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;
    QByteArray toXmlBytes() const override;
    bool fromXmlBytes(const QByteArray &bytes) override;

private:
    QByteArray m_bytes;   // empty: the default theme
};

} // namespace Spreadsheet

#endif // SPREADSHEET_THEME_H
