// idevicebackup2 backups and restores against the simulated device, and the device's error answers.
#include "DeviceGenerator.h"
#include "ManifestEntry.h"
#include "Plist.h"
#include "SimDevice.h"
#include "SimTestSupport.h"
#include "SqliteHandle.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

class BackupToolsTest : public SimulatorTest
{
protected:
    std::string backupRoot() { return path("backups"); }
    std::string backupFolder() { return backupRoot() + "/" + m_udid; }

    ToolRun backup(bool full)
    {
        fs::create_directories(backupRoot());
        QStringList arguments = {"backup"};
        if (full)
            arguments << "--full";
        arguments << QString::fromStdString(backupRoot());
        return runTool("idevicebackup2", arguments);
    }

    ToolRun restore(const QStringList& options)
    {
        return runTool("idevicebackup2",
                       QStringList{"restore"} + options << QString::fromStdString(backupRoot()));
    }

    // Adds a record (and for a file its content) to the plain backup's Manifest.db, as a host could.
    void addBackupRecord(ManifestEntry entry, const std::string& content = {})
    {
        entry.domain = kLineAppDomain;
        entry.fileId = backupFileId(entry.domain, entry.relativePath);
        entry.size = content.size();
        entry.lastModified = 1700000000;
        SqliteDb db(backupFolder() + "/Manifest.db", SQLITE_OPEN_READWRITE);
        SqliteStatement insert(db, "INSERT OR REPLACE INTO Files VALUES (?,?,?,?,?)");
        insert.bind(1, entry.fileId)
            .bind(2, entry.domain)
            .bind(3, entry.relativePath)
            .bind(4, int64_t(entry.flags))
            .bindBlob(5, encodeMbFile(entry))
            .run();
        if (entry.flags == ManifestEntry::File)
            writeWholeFile(backupFolder() + "/" + backupContentPath(entry.fileId), content);
    }

    // A file of LINE's data container.
    std::string someLineFile()
    {
        for (const auto& entry : fs::recursive_directory_iterator(deviceFile(kLineAppDomain, "")))
            if (entry.is_regular_file())
                return entry.path().string();
        return {};
    }
};

TEST_F(BackupToolsTest, FullBackupHoldsEveryDeviceFile)
{
    const ToolRun run = backup(true);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Backup Successful."));
    EXPECT_EQ(compareBackupWithDevice(backupFolder(), m_deviceFolder), "");
    PlistPtr status = plistFromFile(backupFolder() + "/Status.plist");
    EXPECT_EQ(dictString(status.get(), "SnapshotState"), std::string("finished"));
    EXPECT_EQ(dictBool(status.get(), "IsFullBackup"), true);
    PlistPtr manifest = plistFromFile(backupFolder() + "/Manifest.plist");
    plist_t lockdown = dictItem(manifest.get(), "Lockdown", PLIST_DICT);
    EXPECT_EQ(dictString(lockdown, "UniqueDeviceID"), m_udid);
    EXPECT_EQ(dictString(lockdown, "ProductVersion"), std::string("15.7"));
    EXPECT_EQ(dictBool(manifest.get(), "IsEncrypted"), false);
    EXPECT_TRUE(dictItem(dictItem(manifest.get(), "Applications", PLIST_DICT), "jp.naver.line", PLIST_DICT));
    EXPECT_FALSE(fs::exists(backupFolder() + "/Snapshot"));
    // Info.plist is the client's work, written from lockdown values.
    EXPECT_TRUE(fs::exists(backupFolder() + "/Info.plist"));
}

TEST_F(BackupToolsTest, IncrementalBackupSendsOnlyTheChangedFile)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string changed = someLineFile();
    writeWholeFile(changed, "changed on the device");
    const ToolRun run = backup(false);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Incremental backup mode."));
    // The changed file plus the metadata: Status.plist twice, Manifest.db and Manifest.plist.
    EXPECT_TRUE(run.output.contains("Received 5 files from device.")) << run.output.toStdString();
    EXPECT_EQ(compareBackupWithDevice(backupFolder(), m_deviceFolder), "");
}

TEST_F(BackupToolsTest, IncrementalBackupRemovesDeletedFilesAndAddsNewOnes)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string removed = someLineFile();
    fs::remove(removed);
    writeWholeFile(deviceFile("HomeDomain", "Library/Notes/new.txt"), "a new note");
    const ToolRun run = backup(false);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Received 5 files from device.")) << run.output.toStdString();
    EXPECT_EQ(compareBackupWithDevice(backupFolder(), m_deviceFolder), "");
    size_t contentFiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(backupFolder()))
        contentFiles += entry.is_regular_file() && entry.path().filename().string().size() == 40;
    size_t deviceFiles = 0;
    for (const auto& entry : fs::recursive_directory_iterator(m_deviceFolder + "/files"))
        deviceFiles += entry.is_regular_file();
    EXPECT_EQ(contentFiles, deviceFiles) << "the deleted file's content is gone from the backup";
}

TEST_F(BackupToolsTest, RestoreChangesTheDeviceFileAndReboots)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string file = someLineFile();
    const std::string original = readWholeFile(file);
    writeWholeFile(file, "damaged");
    writeWholeFile(deviceFile(kLineAppDomain, "Documents/extra.txt"), "not in the backup");
    const ToolRun run = restore({"--system", "--settings"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Restore Successful."));
    EXPECT_EQ(readWholeFile(file), original);
    EXPECT_TRUE(fs::exists(deviceFile(kLineAppDomain, "Documents/extra.txt"))) << "kept without --remove";
    // The client asked the device to reinstall apps through AFC.
    EXPECT_TRUE(fs::exists(m_deviceFolder + "/afc/iTunesRestore/RestoreApplications.plist"));
    EXPECT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
}

TEST_F(BackupToolsTest, SymbolicLinksAreBackedUpAndRestored)
{
    const std::string link = deviceFile(kLineAppDomain, "Library/current");
    fs::create_symlink("Caches/session-2", link);
    ASSERT_EQ(backup(true).exitCode, 0);
    fs::remove(link);
    const ToolRun run = restore({"--system"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link).string(), "Caches/session-2");
    EXPECT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
}

TEST_F(BackupToolsTest, RestoreNeverWritesThroughLinksToOutsideTheDevice)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string outside = path("outside");
    fs::create_directories(outside);
    // A link already on the device, and a link in the backup, both with files below them in the backup.
    fs::create_symlink(outside, deviceFile(kLineAppDomain, "Library/pre"));
    ManifestEntry planted;
    planted.relativePath = "Library/pre/planted.txt";
    addBackupRecord(planted, "planted");
    ManifestEntry escape;
    escape.flags = ManifestEntry::SymbolicLink;
    escape.mode = 0120755;
    escape.relativePath = "Library/escape";
    escape.target = outside;
    addBackupRecord(escape);
    ManifestEntry below;
    below.relativePath = "Library/escape/planted.txt";
    addBackupRecord(below, "below a link");

    const ToolRun run = restore({"--system", "--no-reboot"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(fs::is_symlink(deviceFile(kLineAppDomain, "Library/pre")));
    EXPECT_EQ(readWholeFile(deviceFile(kLineAppDomain, "Library/pre/planted.txt")), "planted");
    EXPECT_FALSE(fs::is_symlink(deviceFile(kLineAppDomain, "Library/escape")));
    EXPECT_EQ(readWholeFile(deviceFile(kLineAppDomain, "Library/escape/planted.txt")), "below a link");
}

TEST_F(BackupToolsTest, RestoreWithRemoveDeletesFilesTheBackupLacks)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    writeWholeFile(deviceFile(kLineAppDomain, "Documents/extra.txt"), "not in the backup");
    const ToolRun run = restore({"--system", "--remove", "--no-reboot"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(fs::exists(deviceFile(kLineAppDomain, "Documents/extra.txt")));
    // Without a reboot the next restore fails the way devices do.
    const ToolRun again = restore({"--system", "--no-reboot"});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.output.contains("ErrorCode 102: Failed to move the incomplete restore directory"))
        << again.output.toStdString();
    control("reboot " + m_udid);
    ASSERT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
}

TEST_F(BackupToolsTest, RefusingDeviceFailsTheBackup)
{
    control("fault " + m_udid + " refuse");
    const ToolRun run = backup(true);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(
        run.output.contains("ErrorCode 212: Unable to backup until Setup is finished (MBErrorDomain/212)"))
        << run.output.toStdString();
}

TEST_F(BackupToolsTest, LockedDeviceFailsTheBackup)
{
    control("fault " + m_udid + " locked");
    const ToolRun run = backup(true);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 208: Device locked (MBErrorDomain/208)"))
        << run.output.toStdString();
}

TEST_F(BackupToolsTest, InsufficientSpaceFailsTheBackup)
{
    control("fault " + m_udid + " nospace");
    const ToolRun run = backup(true);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 105: Insufficient free disk space on drive to back up"))
        << run.output.toStdString();
}

TEST_F(BackupToolsTest, ConnectionLostMidTransferFailsTheBackup)
{
    control("fault " + m_udid + " drop 100000");
    const ToolRun run = backup(true);
    EXPECT_FALSE(run.timedOut);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.output.contains("Backup Successful.")) << run.output.toStdString();
    // The next attempt, without the fault, succeeds.
    control("fault " + m_udid + " clear");
    EXPECT_EQ(backup(true).exitCode, 0);
}

TEST_F(BackupToolsTest, FindMyIPhoneBlocksTheRestore)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    control("set " + m_udid + " FindMyiPhone on");
    const ToolRun run = restore({"--system"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 211: Find My iPhone must be disabled before restoring"))
        << run.output.toStdString();
}

TEST_F(BackupToolsTest, MissingBackupFileFailsTheRestoreWith205AndChangesNothing)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string file = someLineFile();
    writeWholeFile(file, "device version");
    const std::string relative =
        fs::path(file).lexically_relative(deviceFile(kLineAppDomain, "")).generic_string();
    fs::remove(backupFolder() + "/" + backupContentPathFor(kLineAppDomain, relative));
    const ToolRun run = restore({"--system", "--no-reboot"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 205: Multiple errors downloading files (MBErrorDomain/205)"))
        << run.output.toStdString();
    EXPECT_EQ(readWholeFile(file), "device version");
}

TEST_F(BackupToolsTest, CloudBackupIsSwitchedThroughMobilebackup2)
{
    fs::create_directories(backupRoot());
    const ToolRun run = runTool("idevicebackup2", {"cloud", "on", QString::fromStdString(backupRoot())});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(m_simulator->device(m_udid)->settings().cloudBackupEnabled);
    const ToolRun info =
        runTool("ideviceinfo", {"-q", "com.apple.mobile.backup", "-k", "CloudBackupEnabled"});
    EXPECT_EQ(info.output.trimmed().toStdString(), "true");
}

TEST_F(BackupToolsTest, EncryptionWithoutABackupPasswordFailsTheBackup)
{
    control("set " + m_udid + " WillEncrypt on");
    const ToolRun run = backup(true);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("Backup encryption is on but no backup password is set"))
        << run.output.toStdString();
}

TEST_F(BackupToolsTest, Error205FaultFailsTheIncrementalBackup)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    control("fault " + m_udid + " error205");
    const ToolRun run = backup(false);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 205: Error reading backup properties (MBErrorDomain/205)"))
        << run.output.toStdString();
}

} // namespace
