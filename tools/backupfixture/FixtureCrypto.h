#pragma once

#include <QByteArray>
#include <QIODevice>

// The fixture builder's cryptography on Qt byte arrays, over the shared tools/backupcrypto (OpenSSL, no
// code of src/backup), so that the program's reader is checked against an independent writer. Every function
// throws std::runtime_error on failure.
namespace FixtureCrypto {

// PBKDF2-HMAC-SHA1 or -SHA256 (OpenSSL's PKCS5_PBKDF2_HMAC).
QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length);
QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length);

// RFC 3394 AES key wrap with a 256-bit key encryption key: 32 bytes in, 40 out.
QByteArray wrapKey(const QByteArray& keyEncryptionKey, const QByteArray& key);

// AES-256-CBC, block padding, with the given IV, between in-memory bytes.
QByteArray cbcEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& plain);

// AES-256-CBC with a zero IV and block padding, streamed from input to output in 1 MiB chunks.
// Returns the number of plaintext bytes read.
qint64 cbcEncryptStream(const QByteArray& key, QIODevice& input, QIODevice& output);

// The IV of encrypted file descriptions in Manifest.db: the first 16 bytes of SHA-1("MBFile description").
QByteArray fileDescriptionIv();

} // namespace FixtureCrypto
