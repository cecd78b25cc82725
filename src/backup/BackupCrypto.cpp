#include "backup/BackupCrypto.h"

#include "backup/QOpenSSLEVPAES.h"

#include <openssl/core_names.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <QBuffer>
#include <stdexcept>

namespace BackupCrypto {

QByteArray aesKeyWrap(const QByteArray& key, const QByteArray& data, bool encrypt)
{
    const EVP_CIPHER* cipher = QOpenSSLEVPAES::wrapCipherForKey(key);
    if (!cipher || data.isEmpty())
        return {};
    QOpenSSLEVPAES aes;
    if (!aes.init(cipher, key, QByteArray(), encrypt ? QOpenSSLEVPAES::Encrypt : QOpenSSLEVPAES::Decrypt))
        return {};
    QByteArray result;
    if (!aes.update(data, result) || !aes.final(result))
        return {};
    return result;
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    if (count > 0 && RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), count) != 1)
        throw std::runtime_error("The system's random number generator gave no random bytes.");
    return bytes;
}

QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length,
                  QCryptographicHash::Algorithm digest)
{
    if (iterations == 0 || length <= 0)
        return {};
    EvpKdfPtr kdf(EVP_KDF_fetch(nullptr, OSSL_KDF_NAME_PBKDF2, nullptr));
    if (!kdf)
        return {};
    EvpKdfCtxPtr context(EVP_KDF_CTX_new(kdf.get()));
    if (!context)
        return {};
    char digestName[16];
    qstrncpy(digestName, digest == QCryptographicHash::Sha256 ? "SHA256" : "SHA1", sizeof digestName);
    // OpenSSL wants a non-null buffer even for an empty password or salt.
    char empty = 0;
    void* passwordBytes = password.isEmpty() ? &empty : const_cast<char*>(password.constData());
    void* saltBytes = salt.isEmpty() ? &empty : const_cast<char*>(salt.constData());
    uint64_t iter = iterations;
    int pkcs5Mode = 1; // the device's counts and salts, not the FIPS minimums
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_PASSWORD, passwordBytes,
                                          static_cast<size_t>(password.size())),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, saltBytes, static_cast<size_t>(salt.size())),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_ITER, &iter),
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digestName, 0),
        OSSL_PARAM_construct_int(OSSL_KDF_PARAM_PKCS5, &pkcs5Mode),
        OSSL_PARAM_construct_end(),
    };
    QByteArray key(length, Qt::Uninitialized);
    if (EVP_KDF_derive(context.get(), reinterpret_cast<unsigned char*>(key.data()),
                       static_cast<size_t>(length), params) != 1)
        return {};
    return key;
}

QByteArray contentIv()
{
    return QByteArray(16, '\0');
}

QByteArray fileDescriptionIv()
{
    // A fixed value of its own, so description ciphertexts never share an IV with file contents.
    return QCryptographicHash::hash("MBFile description", QCryptographicHash::Sha1).left(16);
}

QByteArray fileDescriptionKey(const QByteArray& password, const QByteArray& salt)
{
    return QCryptographicHash::hash(password + salt, QCryptographicHash::Sha1).left(16);
}

QByteArray cbc(const QByteArray& input, const QByteArray& key, const QByteArray& iv, bool encrypt,
               const char* errorPrefix)
{
    if (input.isEmpty() && !encrypt)
        return {};
    QOpenSSLEVPAES aes;
    if (!aes.init(QOpenSSLEVPAES::cbcCipherForKey(key), key, iv,
                  encrypt ? QOpenSSLEVPAES::Encrypt : QOpenSSLEVPAES::Decrypt))
        throw std::runtime_error(
            QStringLiteral("%1%2").arg(QLatin1String(errorPrefix), aes.errorText()).toStdString());
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    if (aes.updateAll(in, out, 8192) < 0 || aes.finalAll(out) < 0)
        throw std::runtime_error(
            QStringLiteral("%1%2").arg(QLatin1String(errorPrefix), aes.errorText()).toStdString());
    out.close();
    return result;
}

} // namespace BackupCrypto
