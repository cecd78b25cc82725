#include "backup/ContentCipher.h"
#include "FixtureCrypto.h"
#include "TestFiles.h"
#include "backup/BackupCrypto.h"
#include "backup/MBDBParser.h"
#include "backup/QOpenSSLEVPAES.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray Key(32, '\x42');

QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return bytes;
}

QByteArray deviceEncrypt(const QByteArray& plain)
{
    return FixtureCrypto::cbcEncrypt(Key, QByteArray(16, '\0'), plain);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

class ContentCipherTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(ContentCipherTest, DecryptsWhatTheDeviceEncryptsForEverySizeAroundBlockAndChunkEdges)
{
    for (const qsizetype size : {0, 1, 15, 16, 17, 8191, 8192, 1 << 20, (1 << 20) + 5}) {
        const QByteArray plain = pattern(size);
        writeFileBytes(path("enc"), deviceEncrypt(plain));
        ContentCipher::decryptFile(Key, path("enc"), path("out/plain"));
        EXPECT_EQ(readFileBytes(path("out/plain")), plain) << size;
    }
}

TEST_F(ContentCipherTest, EncryptionRoundTripsAndMatchesTheDeviceCiphertext)
{
    const QByteArray plain = pattern(100000);
    writeFileBytes(path("plain"), plain);
    ContentCipher::encryptFile(path("plain"), path("enc"), Key);
    EXPECT_EQ(readFileBytes(path("enc")), deviceEncrypt(plain));
    ContentCipher::decryptFile(Key, path("enc"), path("back"));
    EXPECT_EQ(readFileBytes(path("back")), plain);
}

TEST_F(ContentCipherTest, ALastBlockThatDoesNotUnpadIsAnErrorAndLeavesNoFile)
{
    writeFileBytes(path("enc"), deviceEncrypt(pattern(1000)));
    writeFileBytes(path("dest"), "old content");
    // A wrong key decrypts the last block to garbage padding.
    EXPECT_THROW(ContentCipher::decryptFile(QByteArray(32, '\x01'), path("enc"), path("dest")),
                 std::runtime_error);
    EXPECT_EQ(readFileBytes(path("dest")), QByteArray("old content"));
    // A ciphertext cut inside a block cannot be finished either.
    writeFileBytes(path("cut"), deviceEncrypt(pattern(1000)).left(1000));
    try {
        ContentCipher::decryptFile(Key, path("cut"), path("fresh"));
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(
            QString::fromUtf8(error.what()).startsWith("BackupManifest::decryptFile: decrypt failed."));
    }
    EXPECT_FALSE(QFileInfo::exists(path("fresh")));
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"cut", "dest", "enc"})); // no temporary left behind
}

TEST_F(ContentCipherTest, ContentShorterThanItsRecordIsAnError)
{
    writeFileBytes(path("enc"), deviceEncrypt(pattern(100))); // 112 bytes stored, 100 plain
    ContentCipher::CopyOptions options;
    options.minimumSize = 101;
    EXPECT_THROW(ContentCipher::decryptFile(Key, path("enc"), path("a"), options), std::runtime_error);
    options.minimumSize = 113;
    EXPECT_THROW(ContentCipher::copyFile(path("enc"), path("b"), options), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(path("a")));
    EXPECT_FALSE(QFileInfo::exists(path("b")));
    options.minimumSize = 100;
    EXPECT_NO_THROW(ContentCipher::decryptFile(Key, path("enc"), path("a"), options));
}

TEST_F(ContentCipherTest, MissingSourceAndUncreatableDestinationAreErrors)
{
    try {
        ContentCipher::decryptFile(Key, path("missing"), path("out"));
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith("cannot open " + path("missing")));
    }
    writeFileBytes(path("enc"), deviceEncrypt("x"));
    writeFileBytes(path("file"), "a file, not a folder");
    EXPECT_THROW(ContentCipher::decryptFile(Key, path("enc"), path("file/below")), std::runtime_error);
    EXPECT_THROW(ContentCipher::copyFile(path("enc"), path("file/below")), std::runtime_error);
}

TEST_F(ContentCipherTest, CopiesCarryTheGivenTimeAndReportProgress)
{
    writeFileBytes(path("plain"), pattern(3 << 20));
    ContentCipher::CopyOptions options;
    options.fileTime = QDateTime::fromSecsSinceEpoch(1500000000);
    QList<qint64> seen;
    options.progress = [&](qint64 total, qint64 done) {
        EXPECT_EQ(total, 3 << 20);
        seen.append(done);
    };
    ContentCipher::copyFile(path("plain"), path("copy"), options);
    EXPECT_EQ(QFileInfo(path("copy")).lastModified().toSecsSinceEpoch(), 1500000000);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), 3 << 20);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST_F(ContentCipherTest, EncryptingWithAnEmptyKeyIsAPlainCopy)
{
    writeFileBytes(path("plain"), "just bytes");
    ContentCipher::encryptFile(path("plain"), path("copy"), QByteArray());
    EXPECT_EQ(readFileBytes(path("copy")), QByteArray("just bytes"));
    try {
        ContentCipher::encryptFile(path("nothing"), path("copy2"), QByteArray());
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith("cannot write " + path("copy2")));
    }
}

TEST(QOpenSSLEVPAESTest, InitRejectsKeysAndIvsThatDoNotFit)
{
    QOpenSSLEVPAES aes;
    EXPECT_FALSE(
        aes.init(EVP_aes_256_cbc(), QByteArray(31, 'k'), QByteArray(16, '\0'), QOpenSSLEVPAES::Encrypt));
    EXPECT_EQ(aes.errorText(), QStringLiteral("QOpenSSLEVPAES::init, EVP_CipherInit_ex return false."));
    EXPECT_FALSE(aes.init(EVP_aes_256_cbc(), Key, QByteArray(8, '\0'), QOpenSSLEVPAES::Encrypt));
    EXPECT_FALSE(aes.init(nullptr, Key, QByteArray(), QOpenSSLEVPAES::Encrypt));
    EXPECT_EQ(QOpenSSLEVPAES::cbcCipherForKey(QByteArray(24, 'k')), EVP_aes_192_cbc());
    EXPECT_EQ(QOpenSSLEVPAES::cbcCipherForKey(QByteArray(20, 'k')), nullptr);
}

TEST(QOpenSSLEVPAESTest, StreamsBetweenDevicesInAnyChunkSize)
{
    const QByteArray plain = pattern(70000);
    for (const int chunk : {1, 16, 1000, 65536}) {
        QOpenSSLEVPAES aes;
        ASSERT_TRUE(aes.init(EVP_aes_256_cbc(), Key, QByteArray(16, '\0'), QOpenSSLEVPAES::Encrypt));
        QBuffer in;
        in.setData(plain);
        in.open(QIODevice::ReadOnly);
        QByteArray cipher;
        QBuffer out(&cipher);
        out.open(QIODevice::WriteOnly);
        const qint64 body = aes.updateAll(in, out, chunk);
        const qint64 last = aes.finalAll(out);
        EXPECT_EQ(body + last, 70000 + 16 - 70000 % 16) << chunk;
        EXPECT_EQ(cipher, deviceEncrypt(plain)) << chunk;
    }
}

TEST(FileDescriptionCipherTest, RoundTripsForEveryKeySizeAndRejectsOthers)
{
    const QByteArray archive = pattern(777);
    for (const int size : {16, 24, 32}) {
        const QByteArray key(size, 'k');
        const QByteArray encrypted = MBDBParser::encryptFileDesc(archive, key);
        EXPECT_NE(encrypted, archive);
        EXPECT_EQ(MBDBParser::decryptFileDesc(encrypted, key), archive);
    }
    EXPECT_TRUE(MBDBParser::decryptFileDesc(QByteArray(), QByteArray(16, 'k')).isEmpty());
    try {
        MBDBParser::decryptFileDesc(archive, QByteArray(20, 'k'));
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "MBDBParser::decryptFileDesc, invalid key size.");
    }
    EXPECT_THROW(MBDBParser::encryptFileDesc(archive, QByteArray()), std::runtime_error);
    // The builder's independent encryption decrypts here too.
    const QByteArray key = BackupCrypto::fileDescriptionKey("pw", "salt");
    EXPECT_EQ(MBDBParser::decryptFileDesc(
                  FixtureCrypto::cbcEncrypt(key, FixtureCrypto::fileDescriptionIv(), archive), key),
              archive);
    EXPECT_THROW(MBDBParser::decryptFileDesc(archive.left(32), key), std::runtime_error);
}
