// Backups written by the fixture builder (plain and encrypted, both layouts) read back through
// BackupManifest: records, keys, contents and changes.
#include "BackupTestFixtures.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "backup/ContentCipher.h"
#include "backup/MBDBParser.h"
#include "backup/UnlockedKeybagCache.h"
#include "storage/Sqlite3DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

struct Variant
{
    ManifestLayout layout;
    bool encrypted;
    bool dataProtection;
};

std::string variantName(const ::testing::TestParamInfo<Variant>& info)
{
    std::string name = info.param.layout == ManifestLayout::Database ? "Db" : "Mbdb";
    if (info.param.encrypted)
        name += info.param.dataProtection ? "EncryptedDp" : "Encrypted";
    else
        name += "Plain";
    return name;
}

class BackupRoundTripTest : public ::testing::TestWithParam<Variant>
{
protected:
    void SetUp() override
    {
        builder.setLayout(GetParam().layout);
        if (GetParam().encrypted)
            builder.setEncryption(encryption(GetParam().dataProtection));
        addSampleFiles(builder);
        large = pattern(3 * 1024 * 1024 + 7, 9);
        writeFileBytes(dir.filePath("large.bin"), large);
        builder.addLocalFile(LineApp, QStringLiteral("Documents/large.bin"), dir.filePath("large.bin"), 4);
        folder = dir.filePath("backup");
        QString error;
        ASSERT_TRUE(builder.write(folder, &error)) << error.toStdString();
    }

    QByteArray contentOf(const QString& domain, const QString& path)
    {
        for (const FileEntry& entry : builder.entries()) {
            if (entry.domain == domain && entry.relativePath == path)
                return entry.localPath.isEmpty() ? entry.bytes : readFileBytes(entry.localPath);
        }
        return {};
    }

    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    QByteArray large;
    QString folder;
};

} // namespace

TEST_P(BackupRoundTripTest, ListsUnlocksAndCopiesEveryFileOutWithItsBytesAndTime)
{
    const PBackupManifest backup = openBackup(folder, true);
    EXPECT_EQ(backup->isEncrypted(), GetParam().encrypted);
    EXPECT_EQ(BackupManifest::isManifestDbLayout(backup->folder()),
              GetParam().layout == ManifestLayout::Database);
    const FileRecordSet set = backup->loadRecords();

    int files = 0;
    for (const FileEntry& entry : builder.entries()) {
        const QString id = BackupManifest::fileId(entry.domain, entry.relativePath);
        ASSERT_TRUE(set.records.contains(id)) << entry.relativePath.toStdString();
        const BackupFileRecord& record = set.records.value(id);
        EXPECT_EQ(record.domain.text(), entry.domain);
        EXPECT_EQ(record.relativePath.text(), entry.relativePath);
        if (entry.kind != FileEntry::Kind::File)
            continue;
        ++files;
        const QByteArray expected = contentOf(entry.domain, entry.relativePath);
        EXPECT_EQ(record.size, static_cast<quint64>(expected.size()));
        EXPECT_EQ(record.protectionClass, entry.protectionClass);
        EXPECT_EQ(record.encryptionKey.isEmpty(), !GetParam().encrypted);
        const QString destination = dir.filePath("out/" + entry.relativePath);
        backup->copyItem(record, destination);
        EXPECT_EQ(readFileBytes(destination), expected) << entry.relativePath.toStdString();
        EXPECT_EQ(QFileInfo(destination).lastModified().toSecsSinceEpoch(), record.lastModified);
    }
    EXPECT_EQ(files, 6);
    // Every parent folder has a record, the domain roots included.
    const BackupFileRecord root = set.records.value(BackupManifest::fileId(LineGroup, QString()));
    EXPECT_TRUE(root.isDirectory());
    const BackupFileRecord link =
        set.records.value(BackupManifest::fileId(LineApp, QStringLiteral("Library/link")));
    EXPECT_TRUE(link.isSymlink());
}

TEST_P(BackupRoundTripTest, SavedChangesReadBackAndLeaveNoTemporaryFiles)
{
    const PBackupManifest backup = openBackup(folder, true);
    FileRecordSet set = backup->loadRecords();
    const QString changed =
        BackupManifest::fileId(LineApp, QStringLiteral("Library/Preferences/jp.naver.line.plist"));
    const QString dropped = BackupManifest::fileId(QStringLiteral("AppDomain-com.example.other"),
                                                   QStringLiteral("Documents/other.txt"));
    set.records[changed].lastModified = 1234567890;
    set.records[changed].modified = true;
    set.records[dropped].removed = true;
    const QStringList before = filesBelow(folder);
    backup->saveRecords(set);
    EXPECT_FALSE(set.records.contains(dropped));
    EXPECT_FALSE(set.records[changed].modified);
    EXPECT_EQ(filesBelow(folder), before);

    const PBackupManifest again = openBackup(folder, true);
    const FileRecordSet back = again->loadRecords();
    EXPECT_EQ(back.records.value(changed).lastModified, 1234567890u);
    EXPECT_FALSE(back.records.contains(dropped));
    EXPECT_EQ(back.records.size(), set.records.size());
    if (GetParam().encrypted && GetParam().dataProtection && GetParam().layout == ManifestLayout::Database) {
        EXPECT_FALSE(readFileBytes(folder + "/Manifest.db").startsWith("SQLite format 3"));
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BackupRoundTripTest,
                         ::testing::Values(Variant{ManifestLayout::Database, false, false},
                                           Variant{ManifestLayout::Database, true, true},
                                           Variant{ManifestLayout::Database, true, false},
                                           Variant{ManifestLayout::Mbdb, false, false},
                                           Variant{ManifestLayout::Mbdb, true, false}),
                         variantName);

class EncryptedBackupTest : public ::testing::Test
{
protected:
    void write(const EncryptionSettings& settings = encryption())
    {
        builder.setEncryption(settings);
        addSampleFiles(builder);
        folder = dir.filePath("backup");
        QString error;
        ASSERT_TRUE(builder.write(folder, &error)) << error.toStdString();
    }

    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    QString folder;
};

TEST_F(EncryptedBackupTest, WrongPasswordIsRefusedAndTheRecordsStayUnreadable)
{
    write();
    BackupManifest backup(folder);
    backup.loadInfo();
    EXPECT_FALSE(backup.unlock(QStringLiteral("wrong")));
    EXPECT_FALSE(backup.isUnlocked());
    EXPECT_TRUE(backup.password().isEmpty());
    EXPECT_THROW(backup.loadRecords(), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(folder + "/Manifest-decrypted.db"));
    EXPECT_TRUE(backup.unlock(Password));
    EXPECT_EQ(backup.unwrappedManifestKey(), builder.keys().manifestKey);
    EXPECT_EQ(backup.keybag().classKeys.value(3).value("KEY"), builder.keys().classKeys.value(3));

    // Opened again in this run, the backup's class keys come from memory, for the right password only.
    Keybag remembered = parseKeybag(backup.keybagData());
    EXPECT_FALSE(UnlockedKeybagCache::restore(backup.keybagData(), "wrong", remembered));
    ASSERT_TRUE(UnlockedKeybagCache::restore(backup.keybagData(), Password.toUtf8(), remembered));
    EXPECT_EQ(remembered.classKeys.value(3).value("KEY"), builder.keys().classKeys.value(3));
    BackupManifest again(folder);
    again.loadInfo();
    EXPECT_FALSE(again.unlock(QStringLiteral("wrong")));
    EXPECT_TRUE(again.unlock(Password));
    EXPECT_EQ(again.unwrappedManifestKey(), builder.keys().manifestKey);
}

TEST_F(EncryptedBackupTest, TheDecryptedManifestNeverReachesTheDiskAndOldCopiesGoAtOpen)
{
    write();
    // What earlier versions left behind after a crash: the decrypted manifest, its save and reduction copies.
    const QByteArray plainManifest =
        ContentCipher::decryptToMemory(builder.keys().manifestKey, folder + "/Manifest.db");
    ASSERT_TRUE(plainManifest.startsWith("SQLite format 3"));
    const QStringList leftovers = {"Manifest-decrypted.db", "Manifest-decrypted.db.0123456789ab.tmp",
                                   "Manifest-line.db-decrypt", "Manifest-line.db.tmp"};
    const QStringList before = filesBelow(folder);
    for (const QString& name : leftovers)
        writeFileBytes(folder + "/" + name, plainManifest);

    const PBackupManifest backup = openBackup(folder, true);
    EXPECT_EQ(filesBelow(folder), before);
    FileRecordSet set = backup->loadRecords();
    const QString id =
        BackupManifest::fileId(LineApp, QStringLiteral("Library/Preferences/jp.naver.line.plist"));
    set.records[id].lastModified = 1234567890;
    set.records[id].modified = true;
    backup->saveRecords(set);
    backup->pruneManifest(folder + "/Manifest-line.db", false, {LineApp, LineGroup});
    EXPECT_EQ(plaintextFilesBelow(folder, {"CREATE TABLE Files", LineApp.toUtf8()}), QStringList());
    EXPECT_EQ(openBackup(folder, true)->loadRecords().records.value(id).lastModified, 1234567890u);
}

TEST_F(EncryptedBackupTest, ManifestKeyUnwrapsEvenWhenItsPrefixNamesAnotherClass)
{
    EncryptionSettings settings = encryption();
    settings.manifestKeyClass = 4;
    settings.manifestKeyPrefixClass = 3;
    write(settings);
    const PBackupManifest backup = openBackup(folder, true);
    EXPECT_EQ(backup->unwrappedManifestKey(), builder.keys().manifestKey);
    EXPECT_FALSE(backup->loadRecords().records.isEmpty());
}

TEST_F(EncryptedBackupTest, FirstEncryptedItemFindsOneKeyOfEachClass)
{
    write();
    const PBackupManifest backup = openBackup(folder, true);
    EncryptedItem classC;
    EncryptedItem classD;
    backup->firstEncryptedItem(classC, classD);
    EXPECT_EQ(classC.protectionClass, 3);
    EXPECT_EQ(classD.protectionClass, 4);
    EXPECT_EQ(classC.fileKey.size(), 32);
    EXPECT_EQ(classD.encryptionKey.bytes.size(), 44);
    EXPECT_EQ(classD.encryptionKey.bytes.left(4), QByteArray("\x04\x00\x00\x00", 4));
    EXPECT_TRUE(builder.keys().fileKeys.values().contains(classD.fileKey));
}

TEST_F(EncryptedBackupTest, FirstEncryptedItemWithoutAClassFourFileFails)
{
    builder.setEncryption(encryption());
    builder.addFile(LineApp, "a", "only class three", 3);
    folder = dir.filePath("backup");
    ASSERT_TRUE(builder.write(folder));
    const PBackupManifest backup = openBackup(folder, true);
    EncryptedItem classC;
    EncryptedItem classD;
    try {
        backup->firstEncryptedItem(classC, classD);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "BackupManifest::firstEncryptedItem, no valid keys");
    }
}

TEST_F(EncryptedBackupTest, DamagedContentAndKeysAreErrorsThatWriteNothing)
{
    FileEntry shortContent;
    shortContent.domain = LineApp;
    shortContent.relativePath = "short";
    shortContent.bytes = pattern(100);
    shortContent.sizeOverride = 5000;
    builder.addEntry(shortContent);
    FileEntry badKey = shortContent;
    badKey.relativePath = "badkey";
    badKey.sizeOverride.reset();
    badKey.encryptionKeyOverride = QByteArray("\x03\x00\x00\x00", 4) + QByteArray(39, 'x');
    builder.addEntry(badKey);
    FileEntry missing = shortContent;
    missing.relativePath = "missing";
    missing.sizeOverride.reset();
    missing.writeContent = false;
    builder.addEntry(missing);
    write();
    const PBackupManifest backup = openBackup(folder, true);
    const FileRecordSet set = backup->loadRecords();
    for (const char* name : {"short", "badkey", "missing"}) {
        const BackupFileRecord record = set.records.value(BackupManifest::fileId(LineApp, name));
        const QString destination = dir.filePath(QStringLiteral("out/") + name);
        EXPECT_THROW(backup->copyItem(record, destination), std::runtime_error) << name;
        EXPECT_FALSE(QFileInfo::exists(destination)) << name;
    }
    EXPECT_TRUE(filesBelow(dir.filePath("out")).isEmpty());
}

TEST_F(EncryptedBackupTest, FileDescriptionsEncryptedInsideManifestDbAreReadAndWritten)
{
    EncryptionSettings settings = encryption();
    settings.fileDescriptionSalt = "salt-of-the-descriptions";
    write(settings);
    const PBackupManifest backup = openBackup(folder, true);
    FileRecordSet set = backup->loadRecords();
    const QString id =
        BackupManifest::fileId(LineApp, QStringLiteral("Library/Preferences/jp.naver.line.plist"));
    ASSERT_TRUE(set.records.contains(id));
    EXPECT_EQ(set.records.value(id).size, 300u);
    set.records[id].size = 301;
    set.records[id].modified = true;
    backup->saveRecords(set);
    EXPECT_EQ(openBackup(folder, true)->loadRecords().records.value(id).size, 301u);
}

TEST(BackupSaveFailureTest, AFailedSaveLeavesTheManifestAsItWas)
{
    QTemporaryDir dir;
    for (const ManifestLayout layout : {ManifestLayout::Database, ManifestLayout::Mbdb}) {
        BackupFixtureBuilder builder;
        builder.setLayout(layout);
        addSampleFiles(builder);
        const QString folder = dir.filePath(layout == ManifestLayout::Database ? "db" : "mbdb");
        ASSERT_TRUE(builder.write(folder));
        const QString manifest =
            folder + (layout == ManifestLayout::Database ? "/Manifest.db" : "/Manifest.mbdb");
        if (layout == ManifestLayout::Database) {
            Sqlite3DB db;
            db.openFile(manifest, Sqlite3DB::OpenReadWrite);
            db.execute(
                "create trigger refuse before insert on Files begin select raise(abort, 'refused'); end");
        }
        const QByteArray before = readFileBytes(manifest);
        const QStringList filesBefore = filesBelow(folder);
        const PBackupManifest backup = openBackup(folder, false);
        FileRecordSet set = backup->loadRecords();
        BackupFileRecord record;
        record.domain = MbdbString::of(LineApp);
        // Too long for Manifest.mbdb; refused by the trigger in Manifest.db.
        record.relativePath = MbdbString::of(QByteArray(70000, 'p'));
        record.added = true;
        set.records.insert(record.fileId(), record);
        EXPECT_THROW(backup->saveRecords(set), std::runtime_error);
        EXPECT_EQ(readFileBytes(manifest), before);
        EXPECT_EQ(filesBelow(folder), filesBefore);
        EXPECT_TRUE(set.records.value(record.fileId()).added); // still pending
    }
}
