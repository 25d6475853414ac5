#include "passwordhash_p.h"

#include "xmlscanner_p.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QXmlStreamWriter>
#include <QtEndian>

#include <optional>

namespace Spreadsheet {

namespace {

constexpr int saltBytes = 16;
// A file may ask for any number of rounds; checking a password against more
// than spreadsheet programs allow would hang the caller.
constexpr int maxSpinCount = 10000000;

std::optional<QCryptographicHash::Algorithm> algorithmNamed(const QString &name)
{
    const struct
    {
        const char *name;
        QCryptographicHash::Algorithm algorithm;
    } known[] = {
        { "SHA-512", QCryptographicHash::Sha512 }, { "SHA-384", QCryptographicHash::Sha384 },
        { "SHA-256", QCryptographicHash::Sha256 }, { "SHA-1", QCryptographicHash::Sha1 },
        { "MD5", QCryptographicHash::Md5 },
    };
    for (const auto &one : known) {
        if (name.compare(QLatin1String(one.name), Qt::CaseInsensitive) == 0)
            return one.algorithm;
    }
    return std::nullopt;
}

// The password's UTF-16 code units, little-endian, after the salt; then the
// hash again with each round's number appended, little-endian.
QByteArray spin(QCryptographicHash::Algorithm algorithm, const QByteArray &salt, const QString &password, int rounds)
{
    QByteArray text = salt;
    for (const QChar unit : password) {
        text.append(char(unit.unicode() & 0xFF));
        text.append(char(unit.unicode() >> 8));
    }
    QByteArray hash = QCryptographicHash::hash(text, algorithm);
    QCryptographicHash round(algorithm);
    for (quint32 i = 0; i < quint32(rounds); ++i) {
        char counter[4];
        qToLittleEndian(i, counter);
        round.reset();
        round.addData(hash);
        round.addData(counter, 4);
        hash = round.result();
    }
    return hash;
}

QString attributeName(const QString &prefix, const char *name)
{
    if (prefix.isEmpty())
        return QLatin1String(name);
    QString qualified = prefix + QLatin1String(name);
    qualified[prefix.size()] = qualified.at(prefix.size()).toUpper();
    return qualified;
}

} // namespace

PasswordHash PasswordHash::of(const QString &password)
{
    PasswordHash made;
    if (password.isEmpty())
        return made;
    QByteArray salt(saltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), saltBytes / 4);
    made.m_algorithm = QStringLiteral("SHA-512");
    made.m_saltValue = QString::fromLatin1(salt.toBase64());
    made.m_spinCount = defaultSpinCount;
    made.m_hashValue = QString::fromLatin1(spin(QCryptographicHash::Sha512, salt, password, defaultSpinCount).toBase64());
    return made;
}

bool PasswordHash::matches(const QString &password) const
{
    if (!m_hashValue.isEmpty()) {
        const auto algorithm = algorithmNamed(m_algorithm);
        if (!algorithm || m_spinCount < 0 || m_spinCount > maxSpinCount)
            return false;
        const QByteArray salt = QByteArray::fromBase64(m_saltValue.toLatin1());
        return spin(*algorithm, salt, password, m_spinCount).toBase64() == m_hashValue.toLatin1();
    }
    if (!m_legacy.isEmpty())
        return legacyHash(password).compare(m_legacy, Qt::CaseInsensitive) == 0;
    return password.isEmpty();
}

// The older files' hash: each character's low byte rotated left by its
// place within 15 bits, all combined by exclusive or with the length and a
// constant.
QString PasswordHash::legacyHash(const QString &password)
{
    if (password.isEmpty())
        return QString();
    quint16 hash = 0;
    for (int i = password.size() - 1; i >= 0; --i) {
        hash = quint16(((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF));
        hash ^= quint16(password.at(i).unicode() & 0xFF);
    }
    hash = quint16(((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF));
    hash ^= quint16(password.size());
    hash ^= 0xCE4B;
    return QStringLiteral("%1").arg(hash, 4, 16, QLatin1Char('0')).toUpper();
}

PasswordHash PasswordHash::read(const XmlScanner &scanner, const char *prefix)
{
    const QString start = QLatin1String(prefix);
    const auto value = [&](const char *name) {
        return QString::fromUtf8(scanner.value(attributeName(start, name).toLatin1().constData()));
    };
    PasswordHash hash;
    hash.m_algorithm = value("algorithmName");
    hash.m_hashValue = value("hashValue");
    hash.m_saltValue = value("saltValue");
    hash.m_spinCount = value("spinCount").toInt();
    hash.m_legacy = value("password");
    return hash;
}

void PasswordHash::write(QXmlStreamWriter &writer, const QString &prefix) const
{
    if (!m_hashValue.isEmpty()) {
        writer.writeAttribute(attributeName(prefix, "algorithmName"), m_algorithm);
        writer.writeAttribute(attributeName(prefix, "hashValue"), m_hashValue);
        writer.writeAttribute(attributeName(prefix, "saltValue"), m_saltValue);
        writer.writeAttribute(attributeName(prefix, "spinCount"), QString::number(m_spinCount));
    }
    if (!m_legacy.isEmpty())
        writer.writeAttribute(attributeName(prefix, "password"), m_legacy);
}

} // namespace Spreadsheet
