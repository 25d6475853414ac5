#ifndef SPREADSHEET_THEME_H
#define SPREADSHEET_THEME_H

//! \file theme.h
//! The theme part: Theme, defaultThemeText.

#include "abstractooxmlfile.h"

namespace Spreadsheet {

//! The default theme document, NUL-terminated UTF-8 (6,995 bytes without the
//! terminator): the usual colour scheme, major and minor fonts per script,
//! and fill, line, effect and background styles.
extern const char defaultThemeText[];

//! The theme part ("xl/theme/theme1.xml"): the default theme, or the bytes of a
//! loaded theme written back unchanged. The library does not read the
//! theme's colours or fonts.
class Theme : public AbstractOOXmlFile
{
public:
    //! The default theme, until a theme is read.
    explicit Theme(CreationMode mode);

    //! The part a package holds the theme in.
    static QString partName() { return QStringLiteral("xl/theme/theme1.xml"); }

    //! Writes the loaded theme's bytes, or the default theme.
    void writeXml(QIODevice *device) const override;
    //! Takes every byte the device holds as the theme; always true.
    bool readXml(QIODevice *device) override;
    //! The loaded theme's bytes, or defaultThemeText.
    QByteArray toXmlBytes() const override;
    //! Takes the bytes as the theme; always true. Empty bytes bring back the
    //! default theme.
    bool fromXmlBytes(const QByteArray &bytes) override;

private:
    QByteArray m_bytes;   // empty: the default theme
};

} // namespace Spreadsheet

#endif // SPREADSHEET_THEME_H
