#pragma once

#include <QByteArray>
#include <QCryptographicHash>

// The small cryptographic building blocks of encrypted backups.
namespace BackupCrypto {

// RFC 3394 AES key wrap (encrypt true) or unwrap with a 16, 24 or 32-byte key. Empty for any other key
// length, for data the cipher rejects, and when unwrapping fails its integrity check (a wrong key).
QByteArray aesKeyWrap(const QByteArray& key, const QByteArray& data, bool encrypt);

// count bytes from OpenSSL's generator (fresh file keys). Throws std::runtime_error when it has none.
QByteArray randomBytes(int count);

// PBKDF2-HMAC with SHA-1 or SHA-256 through OpenSSL's KDF interface. Empty on failure.
QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length,
                  QCryptographicHash::Algorithm digest);

// The initialisation vector of AES-CBC file contents and Manifest.db: sixteen zero bytes, as the device's
// backup service writes them.
QByteArray contentIv();

// The initialisation vector of encrypted file descriptions inside Manifest.db.
QByteArray fileDescriptionIv();

// Key of encrypted file descriptions: the first 16 bytes of SHA-1(password + salt).
QByteArray fileDescriptionKey(const QByteArray& password, const QByteArray& salt);

// AES-CBC over in-memory bytes (key length picks the variant), block padding, streamed in 8192-byte
// chunks. Throws std::runtime_error with errorPrefix and the cipher's error text.
QByteArray cbc(const QByteArray& input, const QByteArray& key, const QByteArray& iv, bool encrypt,
               const char* errorPrefix);

} // namespace BackupCrypto
