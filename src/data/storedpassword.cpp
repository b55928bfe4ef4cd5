#include "data/storedpassword.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <optional>

namespace {

constexpr auto kScheme = "pbkdf2-sha256";
// Keeps a login under half a second on the desk's machines.
constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// Bounds accepted when reading a stored hash: a damaged or hostile value must not make a
// login run for minutes.
constexpr int kMinIterations = 1000;
constexpr int kMaxIterations = 10000000;

struct ParsedHash {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

QByteArray derive(const QString &plain, const QByteArray &salt, int iterations, qsizetype length)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, plain.toUtf8(), salt,
                                              iterations, static_cast<quint64>(length));
}

std::optional<QByteArray> decodeBase64(const QString &text)
{
    const auto result = QByteArray::fromBase64Encoding(text.toLatin1(),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.isEmpty())
        return std::nullopt;
    return result.decoded;
}

std::optional<ParsedHash> parse(const QString &stored)
{
    // "$scheme$iterations$salt$hash" splits into an empty first part and four fields.
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 5 || !parts[0].isEmpty() || parts[1] != QLatin1String(kScheme))
        return std::nullopt;
    bool ok = false;
    const int iterations = parts[2].toInt(&ok);
    if (!ok || iterations < kMinIterations || iterations > kMaxIterations)
        return std::nullopt;
    const auto salt = decodeBase64(parts[3]);
    const auto hash = decodeBase64(parts[4]);
    // A shortened hash would compare only its remaining bytes.
    if (!salt || salt->size() < kSaltBytes || !hash || hash->size() != kHashBytes)
        return std::nullopt;
    return ParsedHash{iterations, *salt, *hash};
}

bool equalBytesInConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

bool isEmptyPassword(const QString &plain)
{
    for (QChar c : plain) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

QString hashPassword(const QString &plain)
{
    if (isEmptyPassword(plain))
        return QString(QLatin1String(""));

    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          kSaltBytes / static_cast<int>(sizeof(quint32)));
    const QByteArray hash = derive(plain, salt, kIterations, kHashBytes);
    return QStringLiteral("$%1$%2$%3$%4")
        .arg(QLatin1String(kScheme))
        .arg(kIterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(hash.toBase64()));
}

bool isPasswordHash(const QString &stored)
{
    return parse(stored).has_value();
}

bool hasPasswordHashScheme(const QString &stored)
{
    return stored.startsWith(QLatin1Char('$') + QLatin1String(kScheme) + QLatin1Char('$'));
}

bool matchesPasswordHash(const QString &plain, const QString &stored)
{
    const auto parsed = parse(stored);
    return parsed
           && equalBytesInConstantTime(derive(plain, parsed->salt, parsed->iterations, parsed->hash.size()),
                                       parsed->hash);
}
