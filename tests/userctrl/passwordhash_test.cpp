#include "passwordhash.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// A small count keeps the cases fast; the default count is checked once.
constexpr int kFast = 1000;

TEST(PasswordHash, RecordOfTheDefaultCountVerifiesAndNamesItsCount)
{
    const QString record = PasswordHash::hash(QStringLiteral("tarnu"));
    EXPECT_TRUE(record.startsWith(QStringLiteral("pbkdf2-sha256$500000$")));
    EXPECT_FALSE(record.contains(QStringLiteral("tarnu")));
    EXPECT_TRUE(PasswordHash::verify(QStringLiteral("tarnu"), record));
    EXPECT_FALSE(PasswordHash::needsRehash(record));
}

TEST(PasswordHash, SamePasswordGetsAFreshSaltEachTime)
{
    const QString a = PasswordHash::hash(QStringLiteral("same"), kFast);
    const QString b = PasswordHash::hash(QStringLiteral("same"), kFast);
    EXPECT_NE(a, b);
    EXPECT_NE(a.split(QLatin1Char('$'))[2], b.split(QLatin1Char('$'))[2]);
    EXPECT_EQ(QByteArray::fromBase64(a.split(QLatin1Char('$'))[2].toLatin1()).size(), PasswordHash::kSaltBytes);
}

struct VerifyCase {
    const char* name;
    QString password;
    QString typed;
    bool accepted;
};

TEST(PasswordHash, VerifiesOnlyTheSamePassword)
{
    const VerifyCase cases[] = {
        {"same", QStringLiteral("pw-1"), QStringLiteral("pw-1"), true},
        {"other", QStringLiteral("pw-1"), QStringLiteral("pw-2"), false},
        {"prefix", QStringLiteral("pw-1"), QStringLiteral("pw-"), false},
        {"case", QStringLiteral("Secret"), QStringLiteral("secret"), false},
        {"empty typed", QStringLiteral("pw-1"), QString(), false},
        {"Chinese", QStringLiteral("密码九"), QStringLiteral("密码九"), true},
        {"Chinese other", QStringLiteral("密码九"), QStringLiteral("密码八"), false},
    };
    for (const VerifyCase& c : cases)
        EXPECT_EQ(PasswordHash::verify(c.typed, PasswordHash::hash(c.password, kFast)), c.accepted) << c.name;
}

TEST(PasswordHash, TextsThatAreNoRecordNeverVerify)
{
    const QString good = PasswordHash::hash(QStringLiteral("pw"), kFast);
    const QStringList parts = good.split(QLatin1Char('$'));
    const QString digest = parts[3];
    QString flipped = digest;
    flipped[0] = flipped[0] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    const struct {
        const char* name;
        QString record;
    } cases[] = {
        {"the plain password of an older store", QStringLiteral("pw")},
        {"empty", QString()},
        {"other scheme", QStringLiteral("md5$1000$") + parts[2] + QLatin1Char('$') + digest},
        {"zero iterations", QStringLiteral("pbkdf2-sha256$0$") + parts[2] + QLatin1Char('$') + digest},
        {"count beyond bound", QStringLiteral("pbkdf2-sha256$999999999$") + parts[2] + QLatin1Char('$') + digest},
        {"count not a number", QStringLiteral("pbkdf2-sha256$x$") + parts[2] + QLatin1Char('$') + digest},
        {"salt not base64", QStringLiteral("pbkdf2-sha256$1000$*!$") + digest},
        {"short digest", QStringLiteral("pbkdf2-sha256$1000$") + parts[2] + QStringLiteral("$AAAA")},
        {"tampered digest", parts[0] + QLatin1Char('$') + parts[1] + QLatin1Char('$') + parts[2] + QLatin1Char('$') + flipped},
        {"extra part", good + QStringLiteral("$x")},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(PasswordHash::verify(QStringLiteral("pw"), c.record)) << c.name;
        EXPECT_FALSE(PasswordHash::isRecord(c.record) && c.record != good && QString(c.name) != "tampered digest") << c.name;
    }
    EXPECT_TRUE(PasswordHash::isRecord(good));
}

TEST(PasswordHash, RecordsOfFewerIterationsOrNoneAskForRehash)
{
    EXPECT_TRUE(PasswordHash::needsRehash(PasswordHash::hash(QStringLiteral("pw"), kFast)));
    EXPECT_TRUE(PasswordHash::needsRehash(QStringLiteral("pw")));
}

} // namespace
