#include "backup/QOpenSSLEVPAES.h"

#include <QIODevice>
#include <climits>

namespace {
constexpr int AesBlockSize = 16;
}

QOpenSSLEVPAES::QOpenSSLEVPAES() : m_context(EVP_CIPHER_CTX_new())
{
}

const EVP_CIPHER* QOpenSSLEVPAES::cbcCipherForKey(const QByteArray& key)
{
    switch (key.size()) {
    case 16:
        return EVP_aes_128_cbc();
    case 24:
        return EVP_aes_192_cbc();
    case 32:
        return EVP_aes_256_cbc();
    default:
        return nullptr;
    }
}

const EVP_CIPHER* QOpenSSLEVPAES::wrapCipherForKey(const QByteArray& key)
{
    switch (key.size()) {
    case 16:
        return EVP_aes_128_wrap();
    case 24:
        return EVP_aes_192_wrap();
    case 32:
        return EVP_aes_256_wrap();
    default:
        return nullptr;
    }
}

bool QOpenSSLEVPAES::init(const EVP_CIPHER* cipher, const QByteArray& key, const QByteArray& iv,
                          Direction direction)
{
    m_errorText.clear();
    const bool fits = cipher && m_context && key.size() == EVP_CIPHER_get_key_length(cipher) &&
                      (iv.isEmpty() || iv.size() == EVP_CIPHER_get_iv_length(cipher));
    if (fits) {
        EVP_CIPHER_CTX_reset(m_context.get());
        EVP_CIPHER_CTX_set_flags(m_context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
        const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.constData());
        const auto* ivBytes = iv.isEmpty() ? nullptr : reinterpret_cast<const unsigned char*>(iv.constData());
        if (EVP_CipherInit_ex(m_context.get(), cipher, nullptr, keyBytes, ivBytes, direction) == 1)
            return true;
    }
    m_errorText = QStringLiteral("QOpenSSLEVPAES::init, EVP_CipherInit_ex return false.");
    return false;
}

bool QOpenSSLEVPAES::update(const QByteArray& input, QByteArray& output)
{
    const qsizetype start = output.size();
    // A wrap cipher may produce up to input + 8 bytes; CBC at most input + one block.
    output.resize(start + input.size() + 2 * AesBlockSize);
    int written = 0;
    const int ok = EVP_CipherUpdate(m_context.get(), reinterpret_cast<unsigned char*>(output.data() + start),
                                    &written, reinterpret_cast<const unsigned char*>(input.constData()),
                                    static_cast<int>(input.size()));
    if (ok != 1 || written < 0) {
        output.resize(start);
        m_errorText = QStringLiteral("QOpenSSLEVPAES::update, EVP_CipherUpdate return false.");
        return false;
    }
    output.resize(start + written);
    return true;
}

bool QOpenSSLEVPAES::final(QByteArray& output)
{
    const qsizetype start = output.size();
    output.resize(start + 2 * AesBlockSize);
    int written = 0;
    const int ok = EVP_CipherFinal_ex(m_context.get(),
                                      reinterpret_cast<unsigned char*>(output.data() + start), &written);
    if (ok != 1 || written < 0) {
        output.resize(start);
        m_errorText = QStringLiteral("QOpenSSLEVPAES::final, EVP_CipherFinal_ex return false.");
        return false;
    }
    output.resize(start + written);
    return true;
}

qint64 QOpenSSLEVPAES::updateAll(QIODevice& input, QIODevice& output, int chunk,
                                 const std::function<void(qint64)>& progress)
{
    if (chunk <= 0 || chunk > INT_MAX - 2 * AesBlockSize)
        chunk = 8192;
    QByteArray in(chunk, Qt::Uninitialized);
    QByteArray out(chunk + 2 * AesBlockSize, Qt::Uninitialized);
    qint64 total = 0;
    qint64 consumed = 0;
    for (;;) {
        const qint64 read = input.read(in.data(), chunk);
        if (read < 0) {
            m_errorText = QStringLiteral("QOpenSSLEVPAES::updateAll, read file error.");
            return -1;
        }
        if (read == 0)
            break;
        int produced = 0;
        if (EVP_CipherUpdate(m_context.get(), reinterpret_cast<unsigned char*>(out.data()), &produced,
                             reinterpret_cast<const unsigned char*>(in.constData()),
                             static_cast<int>(read)) != 1) {
            m_errorText = QStringLiteral("QOpenSSLEVPAES::updateAll, EVP_CipherUpdate return false.");
            return -1;
        }
        if (produced > 0 && output.write(out.constData(), produced) != produced) {
            m_errorText =
                QStringLiteral("QOpenSSLEVPAES::updateAll, write file error, %1").arg(output.errorString());
            return -1;
        }
        total += produced;
        consumed += read;
        if (progress)
            progress(consumed);
    }
    return total;
}

qint64 QOpenSSLEVPAES::finalAll(QIODevice& output)
{
    unsigned char last[2 * AesBlockSize];
    int produced = 0;
    if (EVP_CipherFinal_ex(m_context.get(), last, &produced) != 1 || produced < 0) {
        m_errorText = QStringLiteral("QOpenSSLEVPAES::finalAll, EVP_CipherFinal return false.");
        return -1;
    }
    if (produced > 0 && output.write(reinterpret_cast<const char*>(last), produced) != produced) {
        m_errorText =
            QStringLiteral("QOpenSSLEVPAES::finalAll, write file error, %1").arg(output.errorString());
        return -1;
    }
    return produced;
}
