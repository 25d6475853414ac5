#ifndef SPREADSHEET_PASSWORDHASH_P_H
#define SPREADSHEET_PASSWORDHASH_P_H

#include "keptxml_p.h"

#include <QString>

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

// The password of a protected sheet or workbook as spreadsheet programs
// store it: a salted hash run through many rounds ("SHA-512" with 100,000
// rounds when the library makes one), or, in older files, a 16-bit hash.
// Neither lets the password be read back; both let one be checked.
class PasswordHash
{
public:
    static constexpr int defaultSpinCount = 100000;
    // A password longer than spreadsheet programs accept is refused.
    static constexpr int maxPasswordLength = 255;

    PasswordHash() = default;
    // A new salted hash of the password; an empty password gives no hash.
    static PasswordHash of(const QString &password);

    bool isEmpty() const { return m_hashValue.isEmpty() && m_legacy.isEmpty(); }
    bool matches(const QString &password) const;

    // The attributes of a protection element. A sheet's carry no prefix
    // ("algorithmName", "password"); a workbook's take one ("workbook":
    // "workbookAlgorithmName", "workbookPassword").
    static PasswordHash read(const XmlScanner &scanner, const char *prefix = "");
    void write(QXmlStreamWriter &writer, const QString &prefix = QString()) const;

    // The 16-bit hash of older files, four hexadecimal digits.
    static QString legacyHash(const QString &password);

private:
    QString m_algorithm;
    QString m_hashValue;   // base64
    QString m_saltValue;   // base64
    int m_spinCount = 0;
    QString m_legacy;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_PASSWORDHASH_P_H
