#include "passwordhash.h"

#include <QByteArray>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace PasswordHash {
namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
// Records from elsewhere are not trusted to bound the work of a login.
constexpr int kMaxIterations = 50000000;

struct Record {
    int iterations = 0;
    QByteArray salt;
    QByteArray digest;
};

bool parse(const QString& text, Record& out)
{
    const QStringList parts = text.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    out.iterations = parts[1].toInt(&ok);
    if (!ok || out.iterations < 1 || out.iterations > kMaxIterations)
        return false;
    const auto decode = [](const QString& part, QByteArray& bytes) {
        const auto result = QByteArray::fromBase64Encoding(part.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        bytes = result.decoded;
        return bool(result) && !bytes.isEmpty();
    };
    return decode(parts[2], out.salt) && decode(parts[3], out.digest) && out.digest.size() == kHashBytes;
}

QByteArray derive(const QString& password, const QByteArray& salt, int iterations)
{
    const QByteArray secret = password.toUtf8();
    QByteArray digest(kHashBytes, '\0');
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), secret.size(),
                                     reinterpret_cast<const unsigned char*>(salt.constData()), salt.size(),
                                     iterations, EVP_sha256(), digest.size(),
                                     reinterpret_cast<unsigned char*>(digest.data()));
    return ok == 1 ? digest : QByteArray();
}

} // namespace

QString hash(const QString& password, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    if (iterations < 1 || RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), salt.size()) != 1)
        return QString();
    const QByteArray digest = derive(password, salt, iterations);
    if (digest.isEmpty())
        return QString();
    return kScheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$')
        + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(digest.toBase64());
}

bool verify(const QString& password, const QString& record)
{
    Record parsed;
    if (!parse(record, parsed))
        return false;
    const QByteArray digest = derive(password, parsed.salt, parsed.iterations);
    return digest.size() == parsed.digest.size()
        && CRYPTO_memcmp(digest.constData(), parsed.digest.constData(), size_t(digest.size())) == 0;
}

bool isRecord(const QString& text)
{
    Record parsed;
    return parse(text, parsed);
}

bool needsRehash(const QString& record)
{
    Record parsed;
    return !parse(record, parsed) || parsed.iterations < kIterations;
}

} // namespace PasswordHash
