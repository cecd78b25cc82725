#include "backup/ContentCipher.h"

#include "app/PausePoint.h"
#include "backup/BackupCrypto.h"
#include "backup/QOpenSSLEVPAES.h"
#include "backup/StagedFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <stdexcept>

namespace ContentCipher {
namespace {

// Large enough to keep the disk busy, small enough to keep memory flat.
constexpr int ChunkSize = 1 << 20;

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

void openSource(QFile& source)
{
    if (!source.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot open %1. %2").arg(source.fileName(), source.errorString()));
}

void openDestination(StagedFile& destination)
{
    if (!destination.open())
        fail(
            QStringLiteral("cannot create %1. %2").arg(destination.destination(), destination.errorString()));
}

// Writes into memory the caller owns, refusing to go past its end.
class FixedBuffer : public QIODevice
{
public:
    FixedBuffer(char* data, qsizetype capacity) : m_data(data), m_capacity(capacity) {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (length > m_capacity - m_size) {
            setErrorString(QStringLiteral("the content is larger than its file"));
            return -1;
        }
        std::memcpy(m_data + m_size, data, static_cast<size_t>(length));
        m_size += length;
        return length;
    }

private:
    char* m_data;
    qsizetype m_capacity;
    qsizetype m_size = 0;
};

// Runs the source through a cipher into the destination; false with the cipher's error text.
bool runCipher(QOpenSSLEVPAES& aes, QIODevice& source, QIODevice& destination, const CopyOptions& options,
               const char* pausePoint, qint64& written)
{
    const qint64 total = source.size();
    auto progress = [&](qint64 done) {
        PausePoint::reach(pausePoint);
        if (options.progress)
            options.progress(total, done);
    };
    const qint64 body = aes.updateAll(source, destination, ChunkSize, progress);
    if (body < 0)
        return false;
    const qint64 last = aes.finalAll(destination);
    if (last < 0)
        return false;
    written = body + last;
    return true;
}

} // namespace

void decryptFile(const QByteArray& key, const QString& sourcePath, const QString& destinationPath,
                 const CopyOptions& options)
{
    QFile source(sourcePath);
    openSource(source);
    StagedFile destination(destinationPath, options.syncToDisk);
    openDestination(destination);
    QOpenSSLEVPAES aes;
    qint64 written = 0;
    if (!aes.init(EVP_aes_256_cbc(), key, BackupCrypto::contentIv(), QOpenSSLEVPAES::Decrypt) ||
        !runCipher(aes, source, destination.device(), options, "content-decrypting", written))
        fail(QStringLiteral("BackupManifest::decryptFile: decrypt failed. %1").arg(aes.errorText()));
    if (options.minimumSize >= 0 && written < options.minimumSize)
        fail(QStringLiteral("BackupManifest::decryptFile: decrypt failed. %1 holds %2 bytes, its record %3.")
                 .arg(sourcePath)
                 .arg(written)
                 .arg(options.minimumSize));
    destination.setFileTime(options.fileTime);
    destination.commit();
}

void copyFile(const QString& sourcePath, const QString& destinationPath, const CopyOptions& options)
{
    QFile source(sourcePath);
    openSource(source);
    const qint64 total = source.size();
    if (options.minimumSize >= 0 && total < options.minimumSize)
        fail(QStringLiteral("%1 is shorter than its record: %2 of %3 bytes.")
                 .arg(sourcePath)
                 .arg(total)
                 .arg(options.minimumSize));
    StagedFile destination(destinationPath, options.syncToDisk);
    openDestination(destination);
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const qint64 read = source.read(buffer.data(), buffer.size());
        if (read < 0)
            fail(QStringLiteral("cannot open %1. %2").arg(sourcePath, source.errorString()));
        if (read == 0)
            break;
        if (destination.device().write(buffer.constData(), read) != read)
            fail(QStringLiteral("write %1 failed. %2").arg(destinationPath, destination.errorString()));
        done += read;
        if (options.progress)
            options.progress(total, done);
    }
    if (options.minimumSize >= 0 && done < options.minimumSize)
        fail(QStringLiteral("%1 is shorter than its record: %2 of %3 bytes.")
                 .arg(sourcePath)
                 .arg(done)
                 .arg(options.minimumSize));
    destination.setFileTime(options.fileTime);
    destination.commit();
}

void encryptFile(const QString& sourcePath, const QString& destinationPath, const QByteArray& key,
                 bool syncToDisk)
{
    CopyOptions options;
    options.syncToDisk = syncToDisk;
    if (key.isEmpty()) {
        try {
            copyFile(sourcePath, destinationPath, options);
        } catch (const std::runtime_error& error) {
            fail(QStringLiteral("cannot write %1. %2").arg(destinationPath, QString::fromUtf8(error.what())));
        }
        return;
    }
    QFile source(sourcePath);
    openSource(source);
    StagedFile destination(destinationPath, syncToDisk);
    openDestination(destination);
    QOpenSSLEVPAES aes;
    qint64 written = 0;
    if (!aes.init(EVP_aes_256_cbc(), key, BackupCrypto::contentIv(), QOpenSSLEVPAES::Encrypt) ||
        !runCipher(aes, source, destination.device(), options, "content-encrypting", written))
        fail(QStringLiteral("BackupManifest::encryptFile: encrypt failed. %1").arg(aes.errorText()));
    destination.commit();
}

QByteArray decryptToMemory(const QByteArray& key, const QString& sourcePath)
{
    QByteArray plain(QFileInfo(sourcePath).size(), Qt::Uninitialized);
    plain.truncate(decryptInto(key, sourcePath, plain.data(), plain.size()));
    return plain;
}

qsizetype decryptInto(const QByteArray& key, const QString& sourcePath, char* buffer, qsizetype capacity)
{
    QFile source(sourcePath);
    openSource(source);
    FixedBuffer destination(buffer, capacity);
    destination.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QOpenSSLEVPAES aes;
    qint64 written = 0;
    if (!aes.init(EVP_aes_256_cbc(), key, BackupCrypto::contentIv(), QOpenSSLEVPAES::Decrypt) ||
        !runCipher(aes, source, destination, {}, "memory-decrypting", written))
        fail(QStringLiteral("BackupManifest::decryptFile: decrypt failed. %1").arg(aes.errorText()));
    return static_cast<qsizetype>(written);
}

void encryptBytes(QByteArrayView plain, const QString& destinationPath, const QByteArray& key)
{
    QBuffer source;
    source.setData(QByteArray::fromRawData(plain.data(), plain.size())); // read, never copied
    source.open(QIODevice::ReadOnly);
    StagedFile destination(destinationPath, true);
    openDestination(destination);
    QOpenSSLEVPAES aes;
    qint64 written = 0;
    if (!aes.init(EVP_aes_256_cbc(), key, BackupCrypto::contentIv(), QOpenSSLEVPAES::Encrypt) ||
        !runCipher(aes, source, destination.device(), {}, "memory-encrypting", written))
        fail(QStringLiteral("BackupManifest::encryptFile: encrypt failed. %1").arg(aes.errorText()));
    destination.commit();
}

} // namespace ContentCipher
