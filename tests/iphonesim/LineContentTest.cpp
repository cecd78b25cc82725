// A simulated iPhone whose LINE containers hold the LINE fixture builder's store, backed up encrypted by
// idevicebackup2 and read back the way the program reads a device: unlock the backup, mirror LINE's
// containers, locate and load the store.
#include "LineContent.h"
#include "SimTestSupport.h"
#include "backup/BackupManifest.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"

#include <QDir>
#include <filesystem>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

const QString kPassword = QStringLiteral("line secret");

class LineContentTest : public SimulatorTest
{
protected:
    iphonesim::GeneratorOptions deviceOptions() const override
    {
        iphonesim::GeneratorOptions options = smallDeviceOptions();
        options.settings.keybagIterations = 10;
        options.settings.keybagDataProtectionIterations = 10;
        LineFixtureOptions line;
        line.seed = 5;
        line.messages = 80;
        line.users = 6;
        line.chats = 4;
        options.fillLine = [this, line](const LineContainers& containers) {
            m_fixture = fillLineContainers(containers, line);
        };
        return options;
    }

    std::string backupRoot() { return path("backups"); }
    std::string backupFolder() { return backupRoot() + "/" + m_udid; }
    ToolRun backup2(const QStringList& arguments)
    {
        fs::create_directories(backupRoot());
        return runTool("idevicebackup2", arguments);
    }

    // The program's mirror of LINE's data: the app container's Documents and Library and the group
    // container's Library, merged into one folder, copied (decrypted) out of the backup.
    QString mirrorLine(BackupManifest& manifest)
    {
        const QString mirror = QString::fromStdString(path("mirror"));
        const FileRecordSet set = manifest.loadRecords();
        for (const BackupFileRecord& record : set.records) {
            const QString domain = record.domain.text();
            const QString relative = record.relativePath.text();
            const bool wanted =
                (domain == kLineAppDomain && (relative.startsWith(QStringLiteral("Documents/")) ||
                                              relative.startsWith(QStringLiteral("Library/")))) ||
                (domain == kLineGroupDomain && relative.startsWith(QStringLiteral("Library/")));
            if (wanted && !record.isDirectory() && !record.isSymlink())
                manifest.copyItem(record, mirror + "/" + relative);
        }
        return mirror;
    }

    mutable LineFixture m_fixture;
};

TEST_F(LineContentTest, TheStoreLiesInTheGroupContainerAndThePreferencesInTheAppContainer)
{
    ASSERT_TRUE(m_fixture.storeRelativePath.startsWith("Library/Application Support/PrivateStore/P_"));
    EXPECT_TRUE(fs::is_regular_file(deviceFile(kLineGroupDomain, m_fixture.storeRelativePath.toStdString())));
    EXPECT_FALSE(fs::exists(deviceFile(kLineAppDomain, m_fixture.storeRelativePath.toStdString())));
    EXPECT_TRUE(fs::is_regular_file(deviceFile(kLineAppDomain, "Library/Preferences/jp.naver.line.plist")));
    ASSERT_FALSE(m_fixture.groupStoreRelativePath.isEmpty());
    EXPECT_TRUE(
        fs::is_regular_file(deviceFile(kLineGroupDomain, m_fixture.groupStoreRelativePath.toStdString())));
    // The report counts the fixture's files with the generated ones.
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(m_deviceFolder + "/files"))
        files += entry.is_regular_file();
    EXPECT_GT(files, 60u + 10u);
}

TEST_F(LineContentTest, EncryptedBackupOfLineLoadsThroughTheProgramsReader)
{
    ASSERT_EQ(backup2({"encryption", "on", kPassword}).exitCode, 0);
    const ToolRun run = backup2({"backup", "--full", QString::fromStdString(backupRoot())});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    BackupManifest manifest(QString::fromStdString(backupFolder()));
    manifest.loadInfo();
    ASSERT_TRUE(manifest.unlock(kPassword));
    const QString mirror = mirrorLine(manifest);

    const std::shared_ptr<IOSLineDb> db = IOSLineStoreCache::openCopy(mirror);
    EXPECT_EQ(db->storeRelativePath(), m_fixture.storeRelativePath);
    EXPECT_EQ(db->groupStoreRelativePath(), m_fixture.groupStoreRelativePath);
    EXPECT_EQ(db->account().uid, m_fixture.ownerMid);
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    int enabled = 0;
    for (const LineFixtureChat& chat : m_fixture.chats)
        enabled += chat.enabled;
    EXPECT_EQ(data->chats().size(), enabled);
    EXPECT_EQ(db->countMessages(nullptr), m_fixture.visibleMessages);
    EXPECT_GT(m_fixture.visibleMessages, 0);
}

TEST_F(LineContentTest, RestoreBringsBackLinesStore)
{
    ASSERT_EQ(backup2({"encryption", "on", kPassword}).exitCode, 0);
    ASSERT_EQ(backup2({"backup", "--full", QString::fromStdString(backupRoot())}).exitCode, 0);
    const std::string store = deviceFile(kLineGroupDomain, m_fixture.storeRelativePath.toStdString());
    const std::string original = readWholeFile(store);
    writeWholeFile(store, "not a database any more");
    const ToolRun run = backup2({"restore", "--system", "--password", kPassword, "--no-reboot",
                                 QString::fromStdString(backupRoot())});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(readWholeFile(store), original);
}

} // namespace
