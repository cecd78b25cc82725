#include "backup/MbdbFormat.h"
#include "FixtureManifestWriter.h"
#include "TestFiles.h"
#include "backup/MBDBParser.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

BackupFileRecord sampleRecord()
{
    BackupFileRecord record;
    record.domain = MbdbString::of(QStringLiteral("AppDomain-jp.naver.line"));
    record.relativePath = MbdbString::of(QStringLiteral("Documents/日本語.txt"));
    record.target = MbdbString::absent();
    record.digest = MbdbString::of(QByteArray(20, '\x11'));
    record.encryptionKey = MbdbString::of(QByteArray(44, '\x22'));
    record.mode = 0100644;
    record.inodeHigh = 7;
    record.inode = 0x123456789ULL;
    record.userId = 501;
    record.groupId = 502;
    record.lastModified = 1700000000;
    record.lastStatusChange = 1700000001;
    record.birth = 1700000002;
    record.size = 0x1'0000'0001ULL;
    record.protectionClass = 4;
    record.properties = {{MbdbString::of(QByteArray("com.apple.x")), MbdbString::of(QByteArray("v"))},
                         {MbdbString::of(QByteArray("empty")), MbdbString::absent()}};
    return record;
}

QByteArray serialize(const FileRecordSet& set)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    MbdbFormat::write(buffer, set);
    return bytes;
}

FileRecordSet parse(const QByteArray& bytes)
{
    return MbdbFormat::parse(bytes.constData(), bytes.size());
}

} // namespace

TEST(MbdbFormatTest, EveryFieldRoundTripsWithTheAbsentEmptyDistinction)
{
    FileRecordSet set;
    BackupFileRecord record = sampleRecord();
    set.records.insert(record.fileId(), record);
    BackupFileRecord folder;
    folder.domain = MbdbString::of(QByteArray("HomeDomain"));
    folder.relativePath = MbdbString::of(QByteArray("")); // empty, not absent
    folder.mode = 040755;
    set.records.insert(folder.fileId(), folder);

    const QByteArray bytes = serialize(set);
    EXPECT_TRUE(bytes.startsWith(QByteArray("mbdb\x05\x00", 6)));
    const FileRecordSet back = parse(bytes);
    ASSERT_EQ(back.records.size(), 2);
    const BackupFileRecord& read = back.records.value(record.fileId());
    EXPECT_EQ(read.relativePath.text(), QStringLiteral("Documents/日本語.txt"));
    EXPECT_FALSE(read.target.present);
    EXPECT_EQ(read.digest, record.digest);
    EXPECT_EQ(read.encryptionKey, record.encryptionKey);
    EXPECT_EQ(read.mode, record.mode);
    EXPECT_EQ(read.inodeHigh, 7u);
    EXPECT_EQ(read.inode, 0x23456789u); // the low half only
    EXPECT_EQ(read.groupId, 502u);
    EXPECT_EQ(read.birth, 1700000002u);
    EXPECT_EQ(read.size, record.size);
    EXPECT_EQ(read.protectionClass, 4);
    EXPECT_EQ(read.properties, record.properties);
    const BackupFileRecord& root = back.records.value(folder.fileId());
    EXPECT_TRUE(root.relativePath.present);
    EXPECT_TRUE(root.isDirectory());
    EXPECT_FALSE(root.digest.present);
    // Written back with the lengths they were read with.
    EXPECT_EQ(serialize(back), bytes);
}

TEST(MbdbFormatTest, ReadsWhatTheDeviceWrites)
{
    QTemporaryDir dir;
    backupfixture::FixtureRecord record;
    record.domain = QStringLiteral("MediaDomain");
    record.relativePath = QStringLiteral("Media/a.jpg");
    record.mode = 0100644;
    record.size = 1234;
    record.protectionClass = 3;
    record.lastModified = 1600000000;
    record.inode = 99;
    backupfixture::FixtureRecord link = record;
    link.relativePath = QStringLiteral("Media/link");
    link.kind = backupfixture::FileEntry::Kind::Symlink;
    link.linkTarget = QStringLiteral("a.jpg");
    link.mode = 0120755;
    backupfixture::FixtureManifestWriter::writeMbdb(dir.filePath("Manifest.mbdb"), {record, link});
    const FileRecordSet set = MBDBParser::readMbdb(dir.filePath("Manifest.mbdb"));
    ASSERT_EQ(set.records.size(), 2);
    const BackupFileRecord file =
        set.records.value(backupFileId(QString("MediaDomain"), QString("Media/a.jpg")));
    EXPECT_EQ(file.size, 1234u);
    EXPECT_EQ(file.lastModified, 1600000000u);
    EXPECT_EQ(file.inode, 99u);
    EXPECT_FALSE(file.encryptionKey.present);
    const BackupFileRecord read =
        set.records.value(backupFileId(QString("MediaDomain"), QString("Media/link")));
    EXPECT_TRUE(read.isSymlink());
    EXPECT_EQ(read.target.text(), QStringLiteral("a.jpg"));
}

TEST(MbdbFormatTest, RecordsWithoutADomainAreReadAndDropped)
{
    FileRecordSet set;
    BackupFileRecord record = sampleRecord();
    BackupFileRecord nameless = record;
    nameless.domain = MbdbString::absent();
    QByteArray bytes =
        MbdbFormat::header() + MbdbFormat::encodeRecord(nameless) + MbdbFormat::encodeRecord(record);
    nameless.domain = MbdbString::of(QByteArray(""));
    bytes += MbdbFormat::encodeRecord(nameless);
    const FileRecordSet read = parse(bytes);
    ASSERT_EQ(read.records.size(), 1);
    EXPECT_TRUE(read.records.contains(record.fileId()));
}

TEST(MbdbFormatTest, TruncationAnywhereAndLengthsPastTheEndAreErrors)
{
    const QByteArray one = MbdbFormat::header() + MbdbFormat::encodeRecord(sampleRecord());
    for (qsizetype cut = 7; cut < one.size(); ++cut)
        EXPECT_THROW(parse(one.left(cut)), std::runtime_error) << cut;
    EXPECT_EQ(parse(one.left(6)).records.size(), 0);
    EXPECT_EQ(parse(QByteArray("mb")).records.size(), 0); // shorter than the header: nothing to read

    QByteArray hostile = MbdbFormat::header() + QByteArray("\xff\xfe", 2) + "short";
    try {
        parse(hostile);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("Manifest.mbdb is damaged")) << error.what();
    }
}

TEST(MbdbFormatTest, WritingRefusesWhatTheFormatCannotHold)
{
    BackupFileRecord record = sampleRecord();
    record.relativePath = MbdbString::of(QByteArray(70000, 'a'));
    EXPECT_THROW(MbdbFormat::encodeRecord(record), std::runtime_error);
    record = sampleRecord();
    for (int i = 0; i < 256; ++i)
        record.properties.append({MbdbString::of(QByteArray("n")), MbdbString::of(QByteArray("v"))});
    EXPECT_THROW(MbdbFormat::encodeRecord(record), std::runtime_error);
}

TEST(MbdbFormatTest, WriteIsSortedSkipsRemovedAndReplacesTheFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Manifest.mbdb");
    writeFileBytes(path, "old");
    FileRecordSet set;
    for (const char* name : {"b", "a", "c"}) {
        BackupFileRecord record = sampleRecord();
        record.relativePath = MbdbString::of(QByteArray(name));
        record.removed = QByteArray(name) == "c";
        set.records.insert(record.fileId(), record);
    }
    MBDBParser::writeMbdb(path, set);
    const QByteArray bytes = readFileBytes(path);
    const FileRecordSet back = MBDBParser::readMbdb(path);
    EXPECT_EQ(back.records.size(), 2);
    EXPECT_LT(bytes.indexOf(QByteArray("\x00\x01"
                                       "a",
                                       3)),
              bytes.indexOf(QByteArray("\x00\x01"
                                       "b",
                                       3)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Manifest.mbdb"});

    EXPECT_THROW(MBDBParser::readMbdb(dir.filePath("missing.mbdb")), std::runtime_error);
}
