#pragma once

#include "backup/OpenSslHandles.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// One OpenSSL cipher context (AES in CBC or key-wrap mode) and the text of its last error.
class QOpenSSLEVPAES
{
public:
    enum Direction
    {
        Decrypt = 0,
        Encrypt = 1
    };

    QOpenSSLEVPAES();
    QOpenSSLEVPAES(const QOpenSSLEVPAES&) = delete;
    QOpenSSLEVPAES& operator=(const QOpenSSLEVPAES&) = delete;

    // AES-CBC with 128, 192 or 256 bits chosen by the key's length (16, 24 or 32 bytes), block padding.
    static const EVP_CIPHER* cbcCipherForKey(const QByteArray& key);
    // RFC 3394 key wrap chosen the same way.
    static const EVP_CIPHER* wrapCipherForKey(const QByteArray& key);

    // False (with errorText set) when the cipher is null or the key or IV do not fit it.
    bool init(const EVP_CIPHER* cipher, const QByteArray& key, const QByteArray& iv, Direction direction);
    // Appends what the cipher produces to output.
    bool update(const QByteArray& input, QByteArray& output);
    bool final(QByteArray& output);

    // Streams input through the cipher into output, chunk bytes at a time. Returns the bytes written, or
    // -1 with errorText set on a read, cipher or write failure. progress gets the bytes read so far.
    qint64 updateAll(QIODevice& input, QIODevice& output, int chunk,
                     const std::function<void(qint64)>& progress = {});
    // Writes the cipher's last block. -1 with errorText set when the last block does not unpad (a wrong
    // key or a damaged file) or the write fails; otherwise the bytes written.
    qint64 finalAll(QIODevice& output);

    const QString& errorText() const { return m_errorText; }

private:
    EvpCipherCtxPtr m_context;
    QString m_errorText;
};
