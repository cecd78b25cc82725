#include "FixtureCrypto.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace FixtureCrypto {
namespace {

struct ContextFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length,
                  const EVP_MD* digest)
{
    QByteArray key(length, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), digest, length,
                          reinterpret_cast<unsigned char*>(key.data())) != 1)
        throw std::runtime_error("fixture: PBKDF2 failed");
    return key;
}

Context newContext(const EVP_CIPHER* cipher, const QByteArray& key, const QByteArray& iv)
{
    Context context(EVP_CIPHER_CTX_new());
    if (!context)
        throw std::runtime_error("fixture: no cipher context");
    EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_EncryptInit_ex(
            context.get(), cipher, nullptr, reinterpret_cast<const unsigned char*>(key.constData()),
            iv.isEmpty() ? nullptr : reinterpret_cast<const unsigned char*>(iv.constData())) != 1)
        throw std::runtime_error("fixture: cipher init failed");
    return context;
}

} // namespace

QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length)
{
    return pbkdf2(password, salt, iterations, length, EVP_sha1());
}

QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length)
{
    return pbkdf2(password, salt, iterations, length, EVP_sha256());
}

QByteArray wrapKey(const QByteArray& keyEncryptionKey, const QByteArray& key)
{
    if (keyEncryptionKey.size() != 32 || key.size() % 8 != 0)
        throw std::runtime_error("fixture: key wrap needs a 32-byte key and whole 8-byte blocks");
    Context context = newContext(EVP_aes_256_wrap(), keyEncryptionKey, QByteArray());
    QByteArray wrapped(key.size() + 8, Qt::Uninitialized);
    int length = 0;
    if (EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(wrapped.data()), &length,
                          reinterpret_cast<const unsigned char*>(key.constData()),
                          static_cast<int>(key.size())) != 1)
        throw std::runtime_error("fixture: key wrap failed");
    wrapped.resize(length);
    return wrapped;
}

QByteArray cbcEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& plain)
{
    Context context = newContext(key.size() == 16 ? EVP_aes_128_cbc() : EVP_aes_256_cbc(), key, iv);
    QByteArray out(plain.size() + 16, Qt::Uninitialized);
    int length = 0;
    int last = 0;
    if (EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &length,
                          reinterpret_cast<const unsigned char*>(plain.constData()),
                          static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), reinterpret_cast<unsigned char*>(out.data()) + length, &last) != 1)
        throw std::runtime_error("fixture: encryption failed");
    out.resize(length + last);
    return out;
}

qint64 cbcEncryptStream(const QByteArray& key, QIODevice& input, QIODevice& output)
{
    Context context = newContext(EVP_aes_256_cbc(), key, QByteArray(16, '\0'));
    constexpr int Chunk = 1 << 20;
    QByteArray in(Chunk, Qt::Uninitialized);
    QByteArray out(Chunk + 16, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 read = input.read(in.data(), Chunk);
        if (read < 0)
            throw std::runtime_error("fixture: read failed");
        if (read == 0)
            break;
        int length = 0;
        if (EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(out.data()), &length,
                              reinterpret_cast<const unsigned char*>(in.constData()),
                              static_cast<int>(read)) != 1)
            throw std::runtime_error("fixture: encryption failed");
        if (output.write(out.constData(), length) != length)
            throw std::runtime_error("fixture: write failed");
        total += read;
    }
    int last = 0;
    if (EVP_EncryptFinal_ex(context.get(), reinterpret_cast<unsigned char*>(out.data()), &last) != 1 ||
        output.write(out.constData(), last) != last)
        throw std::runtime_error("fixture: encryption failed");
    return total;
}

QByteArray fileDescriptionIv()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const char text[] = "MBFile description";
    if (EVP_Digest(text, sizeof text - 1, digest, &length, EVP_sha1(), nullptr) != 1)
        throw std::runtime_error("fixture: SHA-1 failed");
    return QByteArray(reinterpret_cast<const char*>(digest), 16);
}

} // namespace FixtureCrypto
