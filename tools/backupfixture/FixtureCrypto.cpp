#include "FixtureCrypto.h"

#include "CbcStream.h"
#include "CryptoPrimitives.h"

#include <stdexcept>
#include <string_view>

namespace FixtureCrypto {
namespace {

std::string_view view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

QByteArray toBytes(const std::string& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length)
{
    return toBytes(backupcrypto::pbkdf2Sha1(view(password), view(salt), iterations, size_t(length)));
}

QByteArray pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, quint32 iterations, int length)
{
    return toBytes(backupcrypto::pbkdf2Sha256(view(password), view(salt), iterations, size_t(length)));
}

QByteArray wrapKey(const QByteArray& keyEncryptionKey, const QByteArray& key)
{
    if (keyEncryptionKey.size() != 32)
        throw std::runtime_error("fixture: key wrap needs a 32-byte key");
    return toBytes(backupcrypto::wrapKey(view(keyEncryptionKey), view(key)));
}

QByteArray cbcEncrypt(const QByteArray& key, const QByteArray& iv, const QByteArray& plain)
{
    return toBytes(backupcrypto::cbcEncrypt(view(key), view(iv), view(plain)));
}

qint64 cbcEncryptStream(const QByteArray& key, QIODevice& input, QIODevice& output)
{
    backupcrypto::CbcStream cipher(backupcrypto::CbcStream::Direction::Encrypt, view(key));
    constexpr int Chunk = 1 << 20;
    QByteArray in(Chunk, Qt::Uninitialized);
    QByteArray out(qsizetype(backupcrypto::CbcStream::outputCapacity(Chunk)), Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 read = input.read(in.data(), Chunk);
        if (read < 0)
            throw std::runtime_error("fixture: read failed");
        if (read == 0)
            break;
        const qint64 length = qint64(cipher.update(in.constData(), size_t(read), out.data()));
        if (output.write(out.constData(), length) != length)
            throw std::runtime_error("fixture: write failed");
        total += read;
    }
    const qint64 last = qint64(cipher.finish(out.data()));
    if (output.write(out.constData(), last) != last)
        throw std::runtime_error("fixture: write failed");
    return total;
}

QByteArray fileDescriptionIv()
{
    return toBytes(backupcrypto::sha1("MBFile description")).left(16);
}

} // namespace FixtureCrypto
