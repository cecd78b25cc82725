#include "TestFiles.h"
#include "backup/MBDBParser.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Domain = QStringLiteral("AppDomainGroup-group.com.linecorp.line");

class AppendFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        content = dir.filePath("content");
        writeFileBytes(content, "encrypted bytes of the new file");
        QFile file(content);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::fromSecsSinceEpoch(1600000000), QFileDevice::FileModificationTime);
    }

    BackupFileRecord& record(const QString& path) { return set.records[backupFileId(Domain, path)]; }

    QTemporaryDir dir;
    QString content;
    FileRecordSet set;
    QString error;
    const MbdbString keyC = MbdbString::of(QByteArray("\x03\x00\x00\x00", 4) + QByteArray(40, 'c'));
    const MbdbString keyD = MbdbString::of(QByteArray("\x04\x00\x00\x00", 4) + QByteArray(40, 'd'));
};

} // namespace

TEST_F(AppendFileTest, NewFileGetsMissingParentFoldersFirst)
{
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "Library/Messages/Line.sqlite", 1234, false,
                                       keyC, keyD, error));
    ASSERT_EQ(set.records.size(), 3);
    const BackupFileRecord& library = record("Library");
    const BackupFileRecord& messages = record("Library/Messages");
    const BackupFileRecord& file = record("Library/Messages/Line.sqlite");
    for (const BackupFileRecord* folder : {&library, &messages}) {
        EXPECT_EQ(folder->mode, 16832);
        EXPECT_TRUE(folder->added);
        EXPECT_EQ(folder->userId, 501u);
        EXPECT_EQ(folder->size, 0u);
        EXPECT_EQ(folder->lastModified, 1600000000u);
    }
    // Folders are numbered deepest first, then the file.
    EXPECT_EQ(messages.inode, 1u);
    EXPECT_EQ(library.inode, 2u);
    EXPECT_EQ(file.inode, 3u);
    EXPECT_EQ(file.mode, 33188);
    EXPECT_EQ(file.size, 1234u);
    EXPECT_EQ(file.protectionClass, 3);
    EXPECT_EQ(file.encryptionKey, keyC);
    EXPECT_FALSE(file.digest.present);
    EXPECT_EQ(file.lastModified, 1600000000u);
    EXPECT_EQ(file.birth, 1600000000u);
    EXPECT_TRUE(file.added);
}

TEST_F(AppendFileTest, ClassDTakesTheClassFourKeyAndTheContentDigest)
{
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "a.db", -1, true, keyC, keyD, error));
    const BackupFileRecord& file = record("a.db");
    EXPECT_EQ(file.protectionClass, 4);
    EXPECT_EQ(file.encryptionKey, keyD);
    EXPECT_EQ(file.digest.bytes, QCryptographicHash::hash(readFileBytes(content), QCryptographicHash::Sha1));
    EXPECT_EQ(file.size, static_cast<quint64>(QFileInfo(content).size())); // no size given: the file's
}

TEST_F(AppendFileTest, ExistingParentFolderStopsTheWalkAndAFileInTheWayFails)
{
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "Library/x", 1, false, {}, {}, error));
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "Library/y", 1, false, {}, {}, error));
    EXPECT_EQ(set.records.size(), 3);
    EXPECT_FALSE(MBDBParser::appendFile(set, content, Domain, "Library/x/deeper/z", 1, false, {}, {}, error));
    EXPECT_EQ(error, QStringLiteral(
                         "MBDBParser::appendFile(Library/x/deeper/z) error. \"Library/x\" is not a folder."));
    // The folder below the file was added before the walk hit the file; the file itself was not.
    EXPECT_TRUE(set.records.contains(backupFileId(Domain, QString("Library/x/deeper"))));
    EXPECT_FALSE(set.records.contains(backupFileId(Domain, QString("Library/x/deeper/z"))));
}

TEST_F(AppendFileTest, ReplacedContentUpdatesSizeKeyAndClassOfAnExistingRecord)
{
    BackupFileRecord existing;
    existing.domain = MbdbString::of(Domain);
    existing.relativePath = MbdbString::of(QByteArray("Line.sqlite"));
    existing.mode = 0100600;
    existing.size = 999;
    existing.protectionClass = 3;
    existing.encryptionKey = MbdbString::of(QByteArray("\x03\x00\x00\x00", 4) + QByteArray(40, 'o'));
    existing.inode = 77;
    set.records.insert(existing.fileId(), existing);
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "Line.sqlite", 31, true, keyC, keyD, error));
    const BackupFileRecord& file = record("Line.sqlite");
    EXPECT_TRUE(file.modified);
    EXPECT_FALSE(file.added);
    EXPECT_EQ(file.size, 31u);          // not the stale 999
    EXPECT_EQ(file.protectionClass, 4); // matches the class-4 key it now carries
    EXPECT_EQ(file.encryptionKey, keyD);
    EXPECT_EQ(file.mode, 0100600); // kept
    EXPECT_EQ(file.inode, 77u);
    EXPECT_EQ(file.lastModified, 1600000000u);
    EXPECT_EQ(set.inodeCounter, 0u);
}

TEST_F(AppendFileTest, KeptContentKeepsSizeKeyAndClass)
{
    BackupFileRecord existing;
    existing.domain = MbdbString::of(Domain);
    existing.relativePath = MbdbString::of(QByteArray("kept"));
    existing.size = 999;
    existing.protectionClass = 3;
    existing.encryptionKey = MbdbString::of(QByteArray("\x03\x00\x00\x00", 4) + QByteArray(40, 'o'));
    set.records.insert(existing.fileId(), existing);
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "kept", 31, true, keyC, keyD, error, false));
    const BackupFileRecord& file = record("kept");
    EXPECT_TRUE(file.modified);
    EXPECT_EQ(file.size, 999u);
    EXPECT_EQ(file.protectionClass, 3);
    EXPECT_EQ(file.encryptionKey, existing.encryptionKey);
}

TEST_F(AppendFileTest, EmptyDomainChangesNothingAndZeroSizeIsKept)
{
    EXPECT_TRUE(MBDBParser::appendFile(set, content, QString(), "x", 5, false, {}, {}, error));
    EXPECT_TRUE(set.records.isEmpty());
    ASSERT_TRUE(MBDBParser::appendFile(set, content, Domain, "empty", 0, false, {}, {}, error));
    EXPECT_EQ(record("empty").size, 0u);
    EXPECT_FALSE(record("empty").encryptionKey.present); // plain backup: no key
}
