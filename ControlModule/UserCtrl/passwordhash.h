#pragma once
// Password records of the user store: salted PBKDF2-HMAC-SHA256, never the password itself.
// A record reads "pbkdf2-sha256$<iterations>$<salt>$<hash>" (salt and hash in base64), so the
// iteration count travels with it and can grow without invalidating older records.

#include <QString>

namespace PasswordHash {

// About 100 ms on a desktop processor of the time this was set; raise it as processors get
// faster (older records are rewritten at their next login, see needsRehash).
constexpr int kIterations = 500000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

// A new record for password with a fresh random salt; "" when the random source fails.
QString hash(const QString& password, int iterations = kIterations);
// True when record is a well-formed record of password; the comparison takes the same time
// wherever the digests differ. A text that is no record (a plain older password) is refused.
bool verify(const QString& password, const QString& record);
// Whether text has the form of a record (as opposed to a plain password of an older store).
bool isRecord(const QString& text);
// A record made with fewer iterations than kIterations (or no record at all).
bool needsRehash(const QString& record);

} // namespace PasswordHash
