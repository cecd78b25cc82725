// Finding backups, their metadata and identity, the file tree and path checks.
#include "BackupTestFixtures.h"
#include "TestFiles.h"
#include "app/TextUtils.h"
#include "backup/BackupDiscovery.h"
#include "backup/BackupPaths.h"
#include "platform/DeviceBackupFolders.h"
#include "platform/RoamingFolder.h"

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

// Sets a file's or a folder's modification time.
void touch(const QString& path, qint64 unixSeconds)
{
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadWrite)) {
        file.setFileTime(QDateTime::fromSecsSinceEpoch(unixSeconds), QFileDevice::FileModificationTime);
        return;
    }
    namespace fs = std::filesystem; // folders: only their order matters
    const auto now = fs::file_time_type::clock::now();
    const auto systemNow = std::chrono::system_clock::now();
    const auto wanted = std::chrono::system_clock::from_time_t(static_cast<std::time_t>(unixSeconds));
    fs::last_write_time(fs::path(path.toStdString()),
                        now + std::chrono::duration_cast<fs::file_time_type::duration>(wanted - systemNow));
}

QString writeBackup(const QString& folder, const DeviceIdentity& device = DeviceIdentity())
{
    BackupFixtureBuilder builder;
    builder.setDevice(device);
    builder.addFile(LineApp, "a", "x");
    EXPECT_TRUE(builder.write(folder));
    return folder;
}

} // namespace

TEST(BackupDiscoveryTest, RootsAreTheRoamingAndHomeBackupFolders)
{
    const QList<QDir> roots = BackupDiscovery::backupRoots();
    ASSERT_GE(roots.size(), 2);
    EXPECT_EQ(roots[0].path(), QDir(roamingDir() + "/Apple Computer/MobileSync/Backup").path());
    EXPECT_EQ(roots[1].path(), QDir(QDir::homePath() + "/Apple/MobileSync/Backup").path());
    // Then the platform's own folders (Finder's on macOS).
    const QStringList native = nativeDeviceBackupFolders();
    ASSERT_EQ(roots.size(), 2 + native.size());
    for (qsizetype i = 0; i < native.size(); ++i)
        EXPECT_EQ(roots[2 + i].path(), QDir(native[i]).path());

    // A folder chosen in the environment (a demonstration's own backups) is searched too.
    qputenv("FERROWYN_BACKUP_DIR", "/tmp/chosen-backups");
    const QList<QDir> chosen = BackupDiscovery::backupRoots();
    qunsetenv("FERROWYN_BACKUP_DIR");
    ASSERT_EQ(chosen.size(), roots.size() + 1);
    EXPECT_EQ(chosen[2].path(), QStringLiteral("/tmp/chosen-backups"));
}

TEST(BackupDiscoveryTest, ABackupFolderNeedsManifestPlistAndOneManifest)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    writeFileBytes(dir.filePath("Manifest.mbdb"), "mbdb\x05");
    EXPECT_FALSE(BackupDiscovery::isBackupFolder(folder));
    writeFileBytes(dir.filePath("Manifest.plist"), "x");
    EXPECT_TRUE(BackupDiscovery::isBackupFolder(folder));
    QFile::remove(dir.filePath("Manifest.mbdb"));
    EXPECT_FALSE(BackupDiscovery::isBackupFolder(folder));
    writeFileBytes(dir.filePath("Manifest.db"), "x");
    EXPECT_TRUE(BackupDiscovery::isBackupFolder(folder));
}

TEST(BackupDiscoveryTest, ListsOldestFirstSkipsHiddenAndNonBackupsAndReportsFailures)
{
    QTemporaryDir root;
    writeBackup(root.filePath("newer"));
    writeBackup(root.filePath("older"));
    writeBackup(root.filePath(".hidden"));
    QDir(root.path()).mkpath("not-a-backup");
    writeBackup(root.filePath("broken"));
    QFile::remove(root.filePath("broken/Manifest.plist"));
    QDir(root.path()).mkpath("broken/Manifest.plist"); // exists, cannot be read
    touch(root.filePath("older"), 1500000000);
    touch(root.filePath("newer"), 1600000000);
    touch(root.filePath("broken"), 1550000000);

    const BackupDiscovery::Listing listing =
        BackupDiscovery::listBackups({QDir(root.path()), QDir("/no/such/root")});
    ASSERT_EQ(listing.backups.size(), 2);
    EXPECT_EQ(listing.backups[0]->path(), root.filePath("older"));
    EXPECT_EQ(listing.backups[1]->path(), root.filePath("newer"));
    ASSERT_EQ(listing.failures.size(), 1);
    EXPECT_EQ(listing.failures[0].path, root.filePath("broken"));
}

TEST(BackupInfoTest, MetadataComesFromManifestPlistAndStatusPlistDate)
{
    QTemporaryDir dir;
    DeviceIdentity device;
    device.udid = "abcdef0123456789abcdef0123456789abcdef01";
    device.deviceName = "Hanako's iPhone";
    device.productType = "iPhone14,2";
    device.productVersion = "17.1";
    device.serialNumber = "SERIAL1";
    const QString folder = writeBackup(dir.filePath(device.udid), device);
    touch(folder + "/Status.plist", 1700000000);
    BackupManifest backup(folder);
    backup.loadInfo();
    EXPECT_EQ(backup.udid(), device.udid);
    EXPECT_EQ(backup.deviceName(), device.deviceName);
    EXPECT_EQ(backup.productType(), "iPhone14,2");
    EXPECT_EQ(backup.productVersion(), "17.1");
    EXPECT_EQ(backup.serialNumber(), "SERIAL1");
    EXPECT_FALSE(backup.isEncrypted());
    EXPECT_EQ(backup.displayName(), device.deviceName); // the folder is named after the device
    EXPECT_EQ(backup.backupDate().toSecsSinceEpoch(), 1700000000);
    EXPECT_EQ(backup.backupId(), md5Hex(folder));
    EXPECT_EQ(backup.backupId().size(), 32);

    QFile::remove(folder + "/Status.plist");
    backup.loadInfo();
    EXPECT_EQ(backup.backupDate(), device.date); // Manifest.plist's Date without Status.plist
}

TEST(BackupInfoTest, DisplayNameOfAFolderNotNamedAfterTheDevice)
{
    QTemporaryDir dir;
    const QString folder = writeBackup(dir.filePath("copy of backup"));
    BackupManifest backup(folder);
    backup.loadInfo();
    EXPECT_EQ(backup.displayName(), QStringLiteral("Test iPhone-copy of backup"));
    // The identity depends only on the absolute path.
    BackupManifest sameFolder(folder + "/../copy of backup");
    EXPECT_EQ(sameFolder.backupId(), backup.backupId());
}

TEST(BackupInfoTest, MissingUnreadableOrDamagedManifestPlist)
{
    QTemporaryDir dir;
    BackupManifest missing(dir.path());
    try {
        missing.loadInfo();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), "Cannot find " + dir.filePath("Manifest.plist"));
    }
    // Damaged: an error naming the file, not a backup with no device, date or encryption.
    writeFileBytes(dir.filePath("Manifest.plist"), "<<< not a property list");
    BackupManifest damaged(dir.path());
    try {
        damaged.loadInfo();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  dir.filePath("Manifest.plist") + QStringLiteral(" is not a backup's property list."));
    }
    EXPECT_TRUE(damaged.udid().isEmpty());
    EXPECT_FALSE(damaged.isEncrypted());
    EXPECT_TRUE(damaged.keybagData().isEmpty());
    EXPECT_THROW(damaged.unlock("pw"), std::runtime_error); // no keybag to unlock
}

TEST(BackupFileTreeTest, AppContainersSystemDomainsAndOtherDomainsGetTheirPlaces)
{
    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    addSampleFiles(builder);
    builder.addFile("AppDomainPlugin-jp.naver.line.share", "Library/x", "p");
    builder.addFile("SysContainerDomain-com.apple.x", "data", "s");
    builder.addFile("MediaDomain", "Media/a.jpg", "m");
    ASSERT_TRUE(builder.write(dir.filePath("b")));
    const PBackupManifest backup = openBackup(dir.filePath("b"), false);
    backup->buildFileTree();
    const BackupFileTree& tree = backup->fileTree();

    BackupTreeNode* line = tree.topNode("Applications")->child("jp.naver.line");
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->record.has_value());
    EXPECT_TRUE(line->isDirectory);
    BackupTreeNode* preferences = line->child("Library")->child("Preferences");
    ASSERT_NE(preferences, nullptr);
    BackupTreeNode* plist = preferences->child("jp.naver.line.plist");
    ASSERT_NE(plist, nullptr);
    EXPECT_FALSE(plist->isDirectory);
    EXPECT_EQ(plist->record->size, 300u);

    BackupTreeNode* group = tree.topNode("AppDomainGroup")->child("group.com.linecorp.line");
    ASSERT_NE(group, nullptr);
    EXPECT_NE(group->child("Library"), nullptr);
    EXPECT_NE(tree.topNode("AppDomainPlugin")->child("jp.naver.line.share"), nullptr);
    EXPECT_NE(tree.topNode("SysContainerDomain-com.apple.x"), nullptr);
    EXPECT_EQ(tree.nodeAt("SysContainerDomain-com.apple.x/data")->record->relativePath.text(), "data");
    // System domains share the top: MediaDomain's "Media" folder and HomeDomain's "Library" are top nodes.
    EXPECT_NE(tree.topNode("Media"), nullptr);
    EXPECT_NE(tree.nodeAt("Library/Preferences/com.apple.purplebuddy.plist"), nullptr);
    EXPECT_EQ(tree.topNode("Applications")->children.size(), 2); // LINE and the other maker's app
}

TEST(BackupFileTreeTest, FilesWhoseFolderHasNoRecordStillHangBelowIt)
{
    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    builder.setAddParentFolders(false);
    builder.addFile(LineApp, "Documents/deep/file.txt", "x");
    ASSERT_TRUE(builder.write(dir.filePath("b")));
    const PBackupManifest backup = openBackup(dir.filePath("b"), false);
    backup->buildFileTree();
    const BackupFileTree& tree = backup->fileTree();
    BackupTreeNode* file = tree.nodeAt("Applications/jp.naver.line/Documents/deep/file.txt");
    ASSERT_NE(file, nullptr);
    BackupTreeNode* deep =
        tree.topNode("Applications")->child("jp.naver.line")->child("Documents")->child("deep");
    ASSERT_NE(deep, nullptr);
    EXPECT_TRUE(deep->isDirectory);
    EXPECT_FALSE(deep->record.has_value());
    EXPECT_EQ(deep->children, QList<BackupTreeNode*>{file});
}

TEST(BackupFileTreeTest, TreePathsFollowTheDomainKind)
{
    EXPECT_EQ(BackupFileTree::treePath(LineApp, ""), "Applications/jp.naver.line");
    EXPECT_EQ(BackupFileTree::treePath(LineGroup, "Library"),
              "AppDomainGroup/group.com.linecorp.line/Library");
    EXPECT_EQ(BackupFileTree::treePath("HomeDomain", "Library/Preferences"), "Library/Preferences");
    EXPECT_EQ(BackupFileTree::treePath("Domain", "x"), "x");
    EXPECT_EQ(BackupFileTree::treePath("AppDomain", "x"), "AppDomain/x"); // no identifier: an other domain
    EXPECT_EQ(BackupFileTree::treePath("CustomDomain", "x"), "CustomDomain/x");
}

TEST(BackupPathsTest, RelativePathsFromABackupCannotLeaveTheirFolder)
{
    const QDir root("/tmp/out");
    EXPECT_EQ(BackupPaths::destinationFor(root, "Documents/a.txt"), "/tmp/out/Documents/a.txt");
    EXPECT_EQ(BackupPaths::destinationFor(root, ""), "/tmp/out");
    EXPECT_EQ(BackupPaths::destinationFor(root, "a..b/c"), "/tmp/out/a..b/c");
    for (const char* path : {"../x", "a/../../x", "a/./b", "..", ".", "/etc/passwd", "a/.."})
        EXPECT_TRUE(BackupPaths::destinationFor(root, path).isEmpty()) << path;
    EXPECT_TRUE(BackupPaths::destinationFor(root, QString("a") + QChar(0) + "b").isEmpty());
}

TEST(FixtureBuilderTest, ALineAppFolderGoesIntoLinesTwoDomains)
{
    QTemporaryDir dir;
    const QString app = dir.filePath("jp.naver.line");
    writeFileBytes(app + "/Documents/talk.sqlite", "old store");
    writeFileBytes(app + "/Library/Preferences/jp.naver.line.plist", "prefs");
    writeFileBytes(app + "/Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite", "store");
    BackupFixtureBuilder builder;
    builder.setEncryption(encryption());
    builder.addLineAppFolder(app);
    ASSERT_TRUE(builder.write(dir.filePath("b")));
    const PBackupManifest backup = openBackup(dir.filePath("b"), true);
    const FileRecordSet set = backup->loadRecords();
    const auto record = [&](const QString& domain, const QString& path) {
        return set.records.value(BackupManifest::fileId(domain, path));
    };
    EXPECT_EQ(record(LineApp, "Documents/talk.sqlite").protectionClass, 4);
    EXPECT_EQ(record(LineApp, "Library/Preferences/jp.naver.line.plist").protectionClass, 3);
    const BackupFileRecord store =
        record(LineGroup, "Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite");
    EXPECT_EQ(store.size, 5u);
    EXPECT_TRUE(record(LineGroup, "Library/Application Support").isDirectory());
    EXPECT_FALSE(
        set.records.contains(BackupManifest::fileId(LineApp, "Library/Application Support/PrivateStore")));
    backup->copyItem(store, dir.filePath("out"));
    EXPECT_EQ(readFileBytes(dir.filePath("out")), QByteArray("store"));
}

TEST(FixtureBuilderTest, TheSameSeedWritesTheSameBackup)
{
    QTemporaryDir dir;
    QByteArray keybags[2];
    for (int i = 0; i < 2; ++i) {
        BackupFixtureBuilder builder;
        builder.setEncryption(encryption()).setSeed(99);
        builder.addFile(LineApp, "a", "x", 4);
        ASSERT_TRUE(builder.write(dir.filePath(QString::number(i))));
        keybags[i] = builder.keys().keybag;
    }
    EXPECT_EQ(keybags[0], keybags[1]);
    EXPECT_EQ(readFileBytes(dir.filePath("0/Manifest.db")), readFileBytes(dir.filePath("1/Manifest.db")));
}
