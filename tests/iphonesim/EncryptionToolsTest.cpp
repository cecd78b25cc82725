// idevicebackup2 with backup encryption: switching it on, off and changing the password, encrypted full and
// incremental backups read back through the program's own backup reader, and encrypted restores.
#include "Plist.h"
#include "SimDevice.h"
#include "SimTestSupport.h"
#include "app/JobControl.h"
#include "backup/BackupFileMerger.h"
#include "backup/BackupManifest.h"

#include <QDir>
#include <filesystem>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

const QString kPassword = QStringLiteral("correct horse");

class EncryptionToolsTest : public SimulatorTest
{
protected:
    iphonesim::GeneratorOptions deviceOptions() const override
    {
        iphonesim::GeneratorOptions options = smallDeviceOptions();
        // Few PBKDF2 rounds keep key derivation out of the test's time.
        options.settings.keybagIterations = 10;
        options.settings.keybagDataProtectionIterations = 10;
        return options;
    }

    std::string backupRoot() { return path("backups"); }
    std::string backupFolder() { return backupRoot() + "/" + m_udid; }

    ToolRun backup2(const QStringList& arguments)
    {
        fs::create_directories(backupRoot());
        return runTool("idevicebackup2", arguments);
    }
    ToolRun backup(bool full)
    {
        QStringList arguments = {"backup"};
        if (full)
            arguments << "--full";
        return backup2(arguments << QString::fromStdString(backupRoot()));
    }
    ToolRun restore(const QStringList& options)
    {
        return backup2(QStringList{"restore"} + options << QString::fromStdString(backupRoot()));
    }
    void encryptionOn()
    {
        const ToolRun run = backup2({"encryption", "on", kPassword});
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        ASSERT_TRUE(run.output.contains("Backup encryption has been enabled successfully."))
            << run.output.toStdString();
    }

    std::string someLineFile()
    {
        for (const auto& entry : fs::recursive_directory_iterator(deviceFile(kLineAppDomain, "")))
            if (entry.is_regular_file())
                return entry.path().string();
        return {};
    }

    // Opens the backup with the program's reader, unlocks it and copies every device file out of it: an
    // empty text when each one reads back byte-identical, else the first difference.
    std::string compareWithDevice(const QString& password)
    {
        BackupManifest manifest(QString::fromStdString(backupFolder()));
        manifest.loadInfo();
        if (!manifest.isEncrypted())
            return "the backup is not encrypted";
        if (!manifest.unlock(password))
            return "the password does not unlock the backup";
        if (manifest.unwrappedManifestKey().size() != 32)
            return "no manifest key";
        const FileRecordSet set = manifest.loadRecords();
        const QString out = QString::fromStdString(path("copied"));
        size_t deviceFiles = 0;
        int index = 0;
        const fs::path files = fs::path(m_deviceFolder) / "files";
        for (const auto& entry : fs::recursive_directory_iterator(files)) {
            if (!entry.is_regular_file())
                continue;
            ++deviceFiles;
            const std::string relative = entry.path().lexically_relative(files).generic_string();
            const QString domain = QString::fromStdString(relative.substr(0, relative.find('/')));
            const QString relativePath = QString::fromStdString(relative.substr(relative.find('/') + 1));
            const auto record = set.records.constFind(BackupManifest::fileId(domain, relativePath));
            if (record == set.records.constEnd())
                return "not in Manifest.db: " + relative;
            if (record->encryptionKey.bytes.size() != 44 ||
                (record->protectionClass != 3 && record->protectionClass != 4))
                return "no per-file key of class 3 or 4: " + relative;
            const QString copy = out + "/" + QString::number(index++);
            manifest.copyItem(*record, copy);
            if (readWholeFile(copy.toStdString()) != readWholeFile(entry.path().string()))
                return "content differs: " + relative;
        }
        size_t listed = 0;
        for (const BackupFileRecord& record : set.records)
            listed += !record.isDirectory() && !record.isSymlink();
        if (listed != deviceFiles)
            return "Manifest.db lists " + std::to_string(listed) + " files, the device has " +
                   std::to_string(deviceFiles);
        return {};
    }
};

TEST_F(EncryptionToolsTest, EncryptionOnThenFullBackupUnlocksWithThePassword)
{
    encryptionOn();
    EXPECT_TRUE(m_simulator->device(m_udid)->settings().willEncrypt);
    const ToolRun info = runTool("ideviceinfo", {"-q", "com.apple.mobile.backup", "-k", "WillEncrypt"});
    EXPECT_EQ(info.output.trimmed().toStdString(), "true");

    const ToolRun run = backup(true);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Backup will be encrypted.")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Backup Successful."));
    PlistPtr manifest = plistFromFile(backupFolder() + "/Manifest.plist");
    EXPECT_EQ(dictBool(manifest.get(), "IsEncrypted"), true);
    EXPECT_EQ(dictData(manifest.get(), "ManifestKey").value_or("").size(), 44u);
    // Manifest.db is stored encrypted: no SQLite header.
    EXPECT_NE(readWholeFile(backupFolder() + "/Manifest.db").substr(0, 15), "SQLite format 3");
    EXPECT_EQ(compareWithDevice(kPassword), "");

    BackupManifest wrong(QString::fromStdString(backupFolder()));
    wrong.loadInfo();
    EXPECT_FALSE(wrong.unlock(QStringLiteral("not the password")));
}

TEST_F(EncryptionToolsTest, IncrementalEncryptedBackupSendsOnlyTheChangedFileAndKeepsTheOtherKeys)
{
    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string changed = someLineFile();
    writeWholeFile(changed, "changed on the device, then backed up encrypted");
    const ToolRun run = backup(false);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Incremental backup mode.")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Received 5 files from device.")) << run.output.toStdString();
    EXPECT_EQ(compareWithDevice(kPassword), "");
}

TEST_F(EncryptionToolsTest, RestoreWithThePasswordChangesTheDeviceFile)
{
    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string file = someLineFile();
    const std::string original = readWholeFile(file);
    writeWholeFile(file, "damaged");
    const ToolRun run = restore({"--system", "--settings", "--password", kPassword});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Restore Successful."));
    EXPECT_EQ(readWholeFile(file), original);
    EXPECT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
}

TEST_F(EncryptionToolsTest, RestoreWithAWrongPasswordIsRefusedAndChangesNothing)
{
    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    const std::string file = someLineFile();
    writeWholeFile(file, "device version");
    const ToolRun run = restore({"--system", "--password", "wrong password"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ErrorCode 207: Invalid password when restoring encrypted backup "
                                    "(MBErrorDomain/207)"))
        << run.output.toStdString();
    EXPECT_EQ(readWholeFile(file), "device version");
    // idevicebackup2 itself refuses an encrypted restore without a password.
    const ToolRun noPassword = restore({"--system"});
    EXPECT_NE(noPassword.exitCode, 0);
    EXPECT_TRUE(noPassword.output.contains("a backup password is required"))
        << noPassword.output.toStdString();
}

TEST_F(EncryptionToolsTest, EncryptionOffNeedsTheCurrentPasswordThenBackupsArePlainAgain)
{
    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    const ToolRun wrong = backup2({"encryption", "off", "guessed"});
    EXPECT_TRUE(wrong.output.contains("ErrorCode 207: Invalid password (MBErrorDomain/207)"))
        << wrong.output.toStdString();
    EXPECT_TRUE(wrong.output.contains("Could not disable backup encryption."));
    EXPECT_TRUE(m_simulator->device(m_udid)->settings().willEncrypt);

    const ToolRun off = backup2({"encryption", "off", kPassword});
    ASSERT_EQ(off.exitCode, 0) << off.output.toStdString();
    EXPECT_TRUE(off.output.contains("Backup encryption has been disabled successfully."));
    EXPECT_FALSE(m_simulator->device(m_udid)->settings().willEncrypt);
    EXPECT_FALSE(fs::exists(m_deviceFolder + "/" + DeviceFolder::kBackupKeys));

    // The encrypted backup cannot serve as the base of a plain one: the device sends everything.
    const ToolRun run = backup(false);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("Backup will be unencrypted."));
    PlistPtr manifest = plistFromFile(backupFolder() + "/Manifest.plist");
    EXPECT_EQ(dictBool(manifest.get(), "IsEncrypted"), false);
    EXPECT_EQ(compareBackupWithDevice(backupFolder(), m_deviceFolder), "");
}

TEST_F(EncryptionToolsTest, ChangedPasswordUnlocksTheNextBackupAndTheOldOneDoesNot)
{
    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    const ToolRun change = backup2({"changepw", kPassword, "new secret"});
    ASSERT_EQ(change.exitCode, 0) << change.output.toStdString();
    EXPECT_TRUE(change.output.contains("Backup encryption password has been changed successfully."));
    // New keys: the earlier backup cannot be the base of the next one.
    const ToolRun run = backup(false);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("Received 5 files from device.")) << run.output.toStdString();
    EXPECT_EQ(compareWithDevice(QStringLiteral("new secret")), "");
    BackupManifest old(QString::fromStdString(backupFolder()));
    old.loadInfo();
    EXPECT_FALSE(old.unlock(kPassword));
}

TEST_F(EncryptionToolsTest, EncryptionSwitchedOnFromTheControlChannelEncryptsTheNextBackup)
{
    control("set " + m_udid + " BackupPassword " + kPassword.toStdString().substr(0, 7));
    control("set " + m_udid + " WillEncrypt on");
    ASSERT_EQ(backup(true).exitCode, 0);
    EXPECT_EQ(compareWithDevice(QStringLiteral("correct")), "");
}

TEST_F(EncryptionToolsTest, InfoDescribesAPlainBackupAndNeedsThePasswordOfAnEncryptedOne)
{
    ASSERT_EQ(backup(true).exitCode, 0);
    ToolRun info = backup2({"info", QString::fromStdString(backupRoot())});
    EXPECT_EQ(info.exitCode, 0) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains("Device Name: Simulated iPhone")) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains("Encrypted: no"));
    EXPECT_TRUE(info.output.contains("Snapshot State: finished"));

    const ToolRun list = backup2({"list", QString::fromStdString(backupRoot())});
    EXPECT_NE(list.exitCode, 0);
    EXPECT_TRUE(list.output.contains("ErrorCode 205: Error reading backup database (MBErrorDomain/205)"))
        << list.output.toStdString();
    EXPECT_TRUE(list.output.contains("Manifest.mbdb"));

    encryptionOn();
    ASSERT_EQ(backup(true).exitCode, 0);
    info = backup2({"info", QString::fromStdString(backupRoot())});
    EXPECT_NE(info.exitCode, 0);
    EXPECT_TRUE(info.output.contains("ErrorCode 207: Invalid password when restoring encrypted backup"))
        << info.output.toStdString();
}

} // namespace

namespace {

// Files the program merged into a backup (plain, then encrypted) land byte-identical on the phone that
// restores it: a replaced LINE file of class 4 and a new file of class 3 in a new folder.
TEST_F(EncryptionToolsTest, FilesMergedIntoABackupAreRestoredByteIdentical)
{
    const std::string replaced = someLineFile();
    ASSERT_FALSE(replaced.empty());
    const QString replacedPath = QString::fromStdString(
        fs::path(replaced).lexically_relative(deviceFile(kLineAppDomain, "")).generic_string());
    const QString domain = QString::fromLatin1(kLineAppDomain);
    for (const bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        const QString newPath =
            QStringLiteral("Library/Merged/new-%1.bin").arg(encrypted ? "encrypted" : "plain");
        const std::string newFile = deviceFile(kLineAppDomain, newPath.toStdString());
        if (encrypted)
            encryptionOn();
        ASSERT_EQ(backup(true).exitCode, 0);
        const std::string replacement = std::string(70000, 'r') + (encrypted ? "encrypted" : "plain");
        const std::string added = std::string(5000, 'n') + (encrypted ? "encrypted" : "plain");
        writeWholeFile(path("replacement"), replacement);
        writeWholeFile(path("added"), added);

        BackupManifest manifest(QString::fromStdString(backupFolder()));
        manifest.loadInfo();
        ASSERT_EQ(manifest.isEncrypted(), encrypted);
        if (encrypted) {
            ASSERT_TRUE(manifest.unlock(kPassword));
        }
        JobControl control;
        BackupFileMerger(
            manifest,
            {MergeItem{domain, QString::fromStdString(path("replacement")), replacedPath, true, true},
             MergeItem{domain, QString::fromStdString(path("added")), newPath, false, false}})
            .run(control);

        writeWholeFile(replaced, "changed on the phone since");
        const ToolRun run = encrypted ? restore({"--system", "--settings", "--password", kPassword})
                                      : restore({"--system", "--settings"});
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("Restore Successful.")) << run.output.toStdString();
        EXPECT_TRUE(readWholeFile(replaced) == replacement);
        EXPECT_TRUE(readWholeFile(newFile) == added);
        ASSERT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
    }
}

} // namespace
