#include "FixtureManifestWriter.h"
#include "backup/BackupCrypto.h"
#include "backup/MBDBParser.h"
#include "backup/MBFileArchive.h"
#include "backup/MBFileBinaryReader.h"
#include "plist/KeyedArchive.h"
#include "plist/PlistCFType.h"
#include "storage/Sqlite3DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using backupfixture::FixtureRecord;

namespace {

BackupFileRecord fullRecord()
{
    BackupFileRecord record;
    record.domain = MbdbString::of(QByteArray("AppDomain-jp.naver.line"));
    record.relativePath = MbdbString::of(QByteArray("Library/Preferences/jp.naver.line.plist"));
    record.digest = MbdbString::of(QByteArray(20, '\x0d'));
    record.encryptionKey = MbdbString::of(QByteArray(44, '\x0e'));
    record.mode = 0100600;
    record.inode = 0x1'2345'6789ULL;
    record.userId = 501;
    record.groupId = 501;
    record.lastModified = 0xF0000000; // past 2038 as a signed value
    record.lastStatusChange = 1700000001;
    record.birth = 1700000002;
    record.size = 5'000'000'000ULL;
    record.protectionClass = 4;
    return record;
}

FixtureRecord deviceRecord(const QString& domain, const QString& path, quint16 mode = 0100644)
{
    FixtureRecord record;
    record.domain = domain;
    record.relativePath = path;
    record.mode = mode;
    record.kind =
        (mode & 040000) ? backupfixture::FileEntry::Kind::Directory : backupfixture::FileEntry::Kind::File;
    record.size = 42;
    record.protectionClass = 3;
    record.encryptionKey = QByteArray("\x03\x00\x00\x00", 4) + QByteArray(40, 'k');
    record.lastModified = 1650000000;
    record.inode = 7;
    return record;
}

void expectSameFields(const BackupFileRecord& a, const BackupFileRecord& b)
{
    EXPECT_EQ(a.digest, b.digest);
    EXPECT_EQ(a.encryptionKey, b.encryptionKey);
    EXPECT_EQ(a.target, b.target);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.inode, b.inode);
    EXPECT_EQ(a.userId, b.userId);
    EXPECT_EQ(a.groupId, b.groupId);
    EXPECT_EQ(a.lastModified, b.lastModified);
    EXPECT_EQ(a.lastStatusChange, b.lastStatusChange);
    EXPECT_EQ(a.birth, b.birth);
    EXPECT_EQ(a.size, b.size);
    EXPECT_EQ(a.protectionClass, b.protectionClass);
}

// Decodes through the general property-list path only.
BackupFileRecord decodeGenerally(const QByteArray& bytes)
{
    BackupFileRecord record;
    const PlistCFMap file = decodeKeyedObject(PlistCFType::fromData(bytes));
    record.mode = static_cast<quint16>(file.value("Mode").getInt64());
    record.size = static_cast<quint64>(file.value("Size").getInt64());
    record.lastModified = static_cast<quint32>(file.value("LastModified").getInt64());
    record.encryptionKey = MbdbString::of(file.value("EncryptionKey").value("NS.data").getData());
    return record;
}

} // namespace

TEST(MBFileArchiveTest, EncodedArchivesHaveTheDocumentedLayoutAndDecodeToTheSameRecord)
{
    const BackupFileRecord record = fullRecord();
    const QByteArray bytes = MBDBParser::encodeRecordArchive(record);
    ASSERT_TRUE(bytes.startsWith("bplist00"));
    const PlistCFType archive = PlistCFType::fromData(bytes);
    EXPECT_EQ(archive.value("$archiver").getString(), QStringLiteral("NSKeyedArchiver"));
    EXPECT_EQ(archive.value("$top").value("root").getUID(), 1u);
    const PlistCFType objects = archive.value("$objects");
    ASSERT_EQ(objects.count(), 7); // $null, MBFile, path, digest, key, NSMutableData class, MBFile class
    EXPECT_EQ(objects.at(0).getString(), QStringLiteral("$null"));
    EXPECT_EQ(objects.at(2).getString(), record.relativePath.text());
    EXPECT_EQ(objects.at(3).getData(), record.digest.bytes);
    EXPECT_EQ(objects.at(4).value("NS.data").getData(), record.encryptionKey.bytes);
    EXPECT_EQ(objects.at(4).value("$class").getUID(), 5u);
    EXPECT_EQ(objects.at(6).value("$classname").getString(), QStringLiteral("MBFile"));
    const PlistCFType file = objects.at(1);
    QStringList keys;
    for (const PlistCFType& key : file.keys())
        keys << key.getString();
    EXPECT_EQ(keys, (QStringList{"$class", "Birth", "Digest", "EncryptionKey", "Flags", "GroupID",
                                 "InodeNumber", "LastModified", "LastStatusChange", "Mode", "ProtectionClass",
                                 "RelativePath", "Size", "UserID"}));
    EXPECT_EQ(file.value("$class").getUID(), 6u);
    EXPECT_EQ(file.value("Flags").getInt64(), 0);
    // 32-bit times are sign-extended.
    EXPECT_EQ(file.value("LastModified").getInt64(), static_cast<qint64>(static_cast<qint32>(0xF0000000)));

    BackupFileRecord decoded;
    ASSERT_TRUE(MBFileArchive::decode(bytes, decoded));
    expectSameFields(decoded, record);
}

TEST(MBFileArchiveTest, ArchivesWithoutDigestOrKeyNumberTheClassDescriptionEarlier)
{
    BackupFileRecord record = fullRecord();
    record.digest = MbdbString::absent();
    record.encryptionKey = MbdbString::absent();
    const PlistCFType plain = PlistCFType::fromData(MBDBParser::encodeRecordArchive(record));
    EXPECT_EQ(plain.value("$objects").count(), 4);
    EXPECT_EQ(plain.value("$objects").at(1).value("$class").getUID(), 3u);
    record.encryptionKey = MbdbString::of(QByteArray(44, 'k'));
    const PlistCFType keyed = PlistCFType::fromData(MBDBParser::encodeRecordArchive(record));
    EXPECT_EQ(keyed.value("$objects").at(1).value("EncryptionKey").getUID(), 3u);
    EXPECT_EQ(keyed.value("$objects").at(1).value("$class").getUID(), 5u);
}

TEST(MBFileArchiveTest, QuickAndGeneralReadersAgreeOnDeviceArchives)
{
    FixtureRecord device = deviceRecord("AppDomain-x", "Documents/a");
    device.kind = backupfixture::FileEntry::Kind::Symlink;
    device.linkTarget = QStringLiteral("../b");
    const QByteArray bytes = backupfixture::FixtureManifestWriter::deviceArchive(device);
    BackupFileRecord quick;
    ASSERT_EQ(MBFileBinaryReader::read(bytes, quick), MBFileBinaryReader::Decoded);
    EXPECT_EQ(quick.target.text(), QStringLiteral("../b"));
    EXPECT_EQ(quick.size, 42u);
    EXPECT_EQ(quick.encryptionKey.bytes, device.encryptionKey);
    const BackupFileRecord general = decodeGenerally(bytes);
    EXPECT_EQ(general.mode, quick.mode);
    EXPECT_EQ(general.size, quick.size);
    EXPECT_EQ(general.lastModified, quick.lastModified);
    EXPECT_EQ(general.encryptionKey, quick.encryptionKey);

    // An XML archive goes the general way and gives the same record.
    const QByteArray xml = PlistCFType::fromData(bytes).serialize(PlistCFType::FormatXml);
    BackupFileRecord unused;
    EXPECT_EQ(MBFileBinaryReader::read(xml, unused), MBFileBinaryReader::Unsupported);
    BackupFileRecord fromXml;
    ASSERT_TRUE(MBFileArchive::decode(xml, fromXml));
    expectSameFields(fromXml, quick);
}

TEST(MBFileArchiveTest, DamagedArchivesAreRefusedOrFallBackWithoutReadingOutOfBounds)
{
    const QByteArray bytes = MBDBParser::encodeRecordArchive(fullRecord());
    BackupFileRecord record;
    EXPECT_FALSE(MBFileArchive::decode(QByteArray("not a plist"), record));
    EXPECT_FALSE(MBFileArchive::decode(QByteArray(), record));
    EXPECT_FALSE(MBFileArchive::decode(PlistCFType::newArray().serialize(PlistCFType::FormatBinary), record));
    // Every truncation and every single-byte change is handled without a crash (sanitizers watch).
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        BackupFileRecord any;
        MBFileArchive::decode(bytes.left(cut), any);
    }
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        for (const char flip : {'\x01', '\x80', '\xff'}) {
            QByteArray changed = bytes;
            changed[at] = static_cast<char>(changed[at] ^ flip);
            BackupFileRecord any;
            MBFileArchive::decode(changed, any);
        }
    }
}

TEST(MBFileArchiveTest, MissingKeysReadAsZero)
{
    PlistCFType file = PlistCFType::newDict();
    file.setValue("Mode", PlistCFType::newUInt(040755));
    PlistCFType objects = PlistCFType::newArray();
    objects.append(PlistCFType::newString("$null"));
    objects.append(file);
    PlistCFType top = PlistCFType::newDict();
    top.setValue("root", PlistCFType::newUID(1));
    PlistCFType archive = PlistCFType::newDict();
    archive.setValue("$objects", objects);
    archive.setValue("$top", top);
    BackupFileRecord record;
    record.size = 99;
    ASSERT_TRUE(MBFileArchive::decode(archive.serialize(PlistCFType::FormatBinary), record));
    EXPECT_TRUE(record.isDirectory());
    EXPECT_EQ(record.size, 0u);
    EXPECT_FALSE(record.encryptionKey.present);
}

class ManifestDbRecordsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Manifest.db"); }
};

TEST_F(ManifestDbRecordsTest, ReadsDeviceRowsByComputedFileIdAndSkipsEmptyDomains)
{
    QList<FixtureRecord> rows = {deviceRecord("HomeDomain", "", 040755),
                                 deviceRecord("AppDomain-jp.naver.line", "Documents/a.txt")};
    backupfixture::FixtureManifestWriter::writeManifestDb(path(), rows, {}, {});
    {
        Sqlite3DB db;
        db.openFile(path(), Sqlite3DB::OpenReadWrite);
        db.execute("update Files set fileID='wrong' where domain='HomeDomain'");
        db.execute(
            "insert into Files(fileID, domain, relativePath, flags, file) values('x', '', 'p', 1, x'00')");
    }
    const FileRecordSet set = MBDBParser::readManifestDb(path(), QString());
    ASSERT_EQ(set.records.size(), 2);
    EXPECT_TRUE(set.records.contains(QStringLiteral("70765829101933f25994c71bbee6dfd685535bff")));
    const BackupFileRecord file =
        set.records.value(backupFileId(QString("AppDomain-jp.naver.line"), QString("Documents/a.txt")));
    EXPECT_EQ(file.size, 42u);
    EXPECT_EQ(file.lastModified, 1650000000u);
    EXPECT_EQ(file.protectionClass, 3);
    EXPECT_EQ(file.inodeHigh, 0u);
}

TEST_F(ManifestDbRecordsTest, EncryptedDescriptionsNeedThePasswordAndTheSalt)
{
    const QByteArray salt("0123456789abcdef");
    const QByteArray key = BackupCrypto::fileDescriptionKey("secret", salt);
    backupfixture::FixtureManifestWriter::writeManifestDb(path(), {deviceRecord("D", "a")}, salt, key);
    const FileRecordSet set = MBDBParser::readManifestDb(path(), QStringLiteral("secret"));
    ASSERT_EQ(set.records.size(), 1);
    EXPECT_EQ(set.records.begin()->size, 42u);
    // Without the password the Base64 text is no archive; with a wrong one it does not decrypt.
    EXPECT_THROW(MBDBParser::readManifestDb(path(), QString()), std::runtime_error);
    EXPECT_THROW(MBDBParser::readManifestDb(path(), QStringLiteral("other")), std::runtime_error);

    // Written back encrypted, and read again.
    FileRecordSet changed = set;
    changed.records.begin()->size = 43;
    changed.records.begin()->modified = true;
    MBDBParser::writeManifestDb(path(), QStringLiteral("secret"), changed);
    Sqlite3DB db;
    db.openFile(path(), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(db.queryInt64("select count(*) from Files where typeof(file)='text'"), 1);
    db.close();
    EXPECT_EQ(MBDBParser::readManifestDb(path(), QStringLiteral("secret")).records.begin()->size, 43u);
}

TEST_F(ManifestDbRecordsTest, RowsThatAreNotArchivesAreReportedAndNothingIsRead)
{
    backupfixture::FixtureManifestWriter::writeManifestDb(path(), {deviceRecord("D", "a")}, {}, {});
    {
        Sqlite3DB db;
        db.openFile(path(), Sqlite3DB::OpenReadWrite);
        db.execute("insert into Files(fileID, domain, relativePath, flags, file) values('y', 'D', 'b', 1, "
                   "x'62706c6973743030')");
    }
    try {
        MBDBParser::readManifestDb(path(), QString());
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("Manifest.db is damaged")) << error.what();
    }
    EXPECT_THROW(MBDBParser::readManifestDb(dir.filePath("none.db"), QString()), std::runtime_error);
}

TEST_F(ManifestDbRecordsTest, PendingChangesBecomeDeletesUpdatesAndReplacesWithFlags)
{
    QList<FixtureRecord> rows = {deviceRecord("D", "keep"), deviceRecord("D", "change"),
                                 deviceRecord("D", "drop")};
    backupfixture::FixtureManifestWriter::writeManifestDb(path(), rows, {}, {});
    FileRecordSet set = MBDBParser::readManifestDb(path(), QString());
    const auto id = [](const char* name) { return backupFileId(QString("D"), QString(name)); };
    set.records[id("change")].size = 1000;
    set.records[id("change")].modified = true;
    set.records[id("drop")].removed = true;
    set.records[id("keep")].size = 555; // no flag: not written
    BackupFileRecord link;
    link.domain = MbdbString::of(QByteArray("D"));
    link.relativePath = MbdbString::of(QByteArray("link"));
    link.target = MbdbString::of(QByteArray("keep"));
    link.mode = 0120755;
    link.added = true;
    set.records.insert(link.fileId(), link);
    BackupFileRecord folder;
    folder.domain = MbdbString::of(QByteArray("D"));
    folder.relativePath = MbdbString::of(QByteArray("folder"));
    folder.mode = 040700;
    folder.added = true;
    set.records.insert(folder.fileId(), folder);
    MBDBParser::writeManifestDb(path(), QString(), set);

    Sqlite3DB db;
    db.openFile(path(), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(db.queryInt64(Sqlite3Sql("select flags from Files where fileID=?").addTextParam(id("link"))),
              4);
    EXPECT_EQ(db.queryInt64(Sqlite3Sql("select flags from Files where fileID=?").addTextParam(id("folder"))),
              2);
    EXPECT_EQ(db.queryInt64(Sqlite3Sql("select count(*) from Files where fileID=?").addTextParam(id("drop"))),
              0);
    db.close();
    const FileRecordSet back = MBDBParser::readManifestDb(path(), QString());
    EXPECT_EQ(back.records.size(), 4);
    EXPECT_EQ(back.records.value(id("change")).size, 1000u);
    EXPECT_EQ(back.records.value(id("keep")).size, 42u);
    EXPECT_TRUE(back.records.value(id("link")).target.isEmpty()); // no "Target" in the archive
}
