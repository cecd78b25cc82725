// The device's DeviceLink conversation seen by a host written on libimobiledevice's mobilebackup2 client.
#include "BackupPlan.h"
#include "DeviceGenerator.h"
#include "ManifestEntry.h"
#include "Mb2TestHost.h"
#include "SimTestSupport.h"
#include "SqliteHandle.h"

#include <algorithm>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

class HostProtocolTest : public SimulatorTest
{
protected:
    std::string root() { return path("host"); }
    std::string folder() { return root() + "/" + m_udid; }
    Mb2TestHost host() { return Mb2TestHost(m_udid, root()); }

    static size_t count(const TestHostResult& result, const std::string& message)
    {
        return size_t(std::count(result.messages.begin(), result.messages.end(), message));
    }

    // Rewrites the backup's Manifest.db with one extra row.
    void addManifestRow(const std::string& domain, const std::string& relativePath)
    {
        ManifestEntry entry;
        entry.domain = domain;
        entry.relativePath = relativePath;
        entry.size = 5;
        SqliteDb db(folder() + "/Manifest.db", SQLITE_OPEN_READWRITE);
        SqliteStatement insert(db, "INSERT INTO Files VALUES (?,?,?,1,?)");
        insert.bind(1, backupFileId(domain, relativePath))
            .bind(2, domain)
            .bind(3, relativePath)
            .bindBlob(4, encodeMbFile(entry))
            .run();
    }
};

TEST_F(HostProtocolTest, FullBackupConversation)
{
    fs::create_directories(root());
    const TestHostResult result = host().backup(true);
    ASSERT_TRUE(result.finished) << result.failure;
    EXPECT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_FALSE(result.connectionLost);
    EXPECT_EQ(count(result, "DLMessageGetFreeDiskSpace"), 1u);
    EXPECT_GE(count(result, "DLMessageCreateDirectory"), 2u);
    EXPECT_GE(count(result, "DLMessageMoveItems"), 1u);
    // Files arrive in the snapshot folder, the metadata last, and move into place.
    EXPECT_EQ(result.receivedPaths.front(), m_udid + "/Status.plist");
    EXPECT_EQ(result.receivedPaths.back(), m_udid + "/Status.plist");
    EXPECT_EQ(std::count(result.receivedPaths.begin(), result.receivedPaths.end(),
                         m_udid + "/Snapshot/Manifest.db"),
              1);
    EXPECT_EQ(compareBackupWithDevice(folder(), m_deviceFolder), "");
    // A forced full backup does not ask for the previous manifest.
    EXPECT_EQ(count(result, "DLMessageDownloadFiles"), 0u);
}

TEST_F(HostProtocolTest, IncrementalBackupResendsFilesTheHostLost)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    // One content file vanished from the computer, another has the wrong size.
    const std::string lost =
        backupContentPathFor("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist");
    fs::remove(folder() + "/" + lost);
    std::string truncated;
    for (const auto& entry : fs::recursive_directory_iterator(folder()))
        if (entry.is_regular_file() && entry.path().filename().string().size() == 40 &&
            entry.file_size() > 10 &&
            entry.path().filename().string() != fs::path(lost).filename().string()) {
            truncated = entry.path().filename().string();
            fs::resize_file(entry.path(), 3);
            break;
        }
    const TestHostResult result = host().backup(false);
    ASSERT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_EQ(count(result, "DLMessageDownloadFiles"), 2u) << "properties, then the previous Manifest.db";
    EXPECT_GE(count(result, "DLContentsOfDirectory"), 1u);
    std::vector<std::string> content;
    for (const std::string& received : result.receivedPaths)
        if (received.find("/Snapshot/") != std::string::npos &&
            fs::path(received).filename().string().size() == 40)
            content.push_back(fs::path(received).filename().string());
    std::sort(content.begin(), content.end());
    std::vector<std::string> expected = {fs::path(lost).filename().string(), truncated};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(content, expected);
    EXPECT_EQ(compareBackupWithDevice(folder(), m_deviceFolder), "");
}

TEST_F(HostProtocolTest, HiddenListingEntryIsSentAgain)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    const std::string fileId = backupFileId("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist");
    Mb2TestHost second = host();
    second.hideFromListings({fileId});
    const TestHostResult result = second.backup(false);
    ASSERT_EQ(result.errorCode, 0u);
    EXPECT_EQ(result.filesReceived, 5u);
    EXPECT_NE(std::find(result.receivedPaths.begin(), result.receivedPaths.end(),
                        m_udid + "/Snapshot/" + backupContentPath(fileId)),
              result.receivedPaths.end());
}

TEST_F(HostProtocolTest, UnfinishedPreviousBackupMeansAFullOne)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    writeWholeFile(folder() + "/Status.plist", "not a property list");
    const TestHostResult result = host().backup(false);
    ASSERT_EQ(result.errorCode, 0u);
    EXPECT_EQ(count(result, "DLMessageDownloadFiles"), 1u) << "no Manifest.db asked for";
    EXPECT_GT(result.filesReceived, 60u);
}

TEST_F(HostProtocolTest, EmptyManifestPlistIsError205)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    writeWholeFile(folder() + "/Manifest.plist", "");
    const TestHostResult result = host().backup(false);
    EXPECT_EQ(result.errorCode, 205u);
    EXPECT_NE(result.errorDescription.find("MBErrorDomain/205"), std::string::npos);
}

TEST_F(HostProtocolTest, LittleHostSpaceIsError105)
{
    fs::create_directories(root());
    Mb2TestHost small = host();
    small.setFreeSpace(1000);
    const TestHostResult result = small.backup(true);
    EXPECT_EQ(result.errorCode, 105u);
    EXPECT_EQ(result.errorDescription,
              "Insufficient free disk space on drive to back up (MBErrorDomain/105)");
    EXPECT_EQ(result.filesReceived, 0u);
}

TEST_F(HostProtocolTest, PurgeFaultAsksTheHostToMakeRoom)
{
    fs::create_directories(root());
    control("fault " + m_udid + " purge");
    const TestHostResult result = host().backup(true);
    EXPECT_EQ(count(result, "DLMessagePurgeDiskSpace"), 1u);
    EXPECT_EQ(result.errorCode, 0u);
}

TEST_F(HostProtocolTest, DropFaultCutsTheConnectionMidFile)
{
    fs::create_directories(root());
    control("fault " + m_udid + " drop 5000");
    const TestHostResult result = host().backup(true);
    EXPECT_TRUE(result.connectionLost);
    EXPECT_FALSE(result.finished);
    EXPECT_LE(result.bytesReceived, 5000u);
}

TEST_F(HostProtocolTest, ConnectionLostDuringARestoreChangesNothing)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    const std::string file = deviceFile("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist");
    writeWholeFile(file, "device version");
    control("fault " + m_udid + " drop 20000");
    const TestHostResult result = host().restore(true, true, false, false);
    EXPECT_TRUE(result.connectionLost);
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(readWholeFile(file), "device version");
    control("fault " + m_udid + " clear");
    EXPECT_EQ(host().restore(true, true, false, false).errorCode, 0u) << "the device is free again";
    EXPECT_NE(readWholeFile(file), "device version");
}

TEST_F(HostProtocolTest, RestoreOfAppDomainsOnlyLeavesSystemFiles)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    const std::string home = deviceFile("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist");
    writeWholeFile(home, "changed home file");
    writeWholeFile(deviceFile(kLineGroupDomain, "Library/new.db"), "extra");
    const TestHostResult result = host().restore(false, true, false, true);
    ASSERT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_EQ(readWholeFile(home), "changed home file");
    EXPECT_FALSE(fs::exists(deviceFile(kLineGroupDomain, "Library/new.db")));
    for (const std::string& message : result.messages)
        EXPECT_NE(message, "DLMessageUploadFiles");
}

TEST_F(HostProtocolTest, SubstitutedManifestLimitsTheRestoreToItsDomains)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    // A manifest holding only LINE's domains, as the program writes it before a transfer.
    fs::copy_file(folder() + "/Manifest.db", folder() + "/Manifest-line.db");
    {
        SqliteDb db(folder() + "/Manifest-line.db", SQLITE_OPEN_READWRITE);
        db.execute("DELETE FROM Files WHERE domain NOT IN ('AppDomain-jp.naver.line', "
                   "'AppDomainGroup-group.com.linecorp.line')");
    }
    const std::string other = deviceFile("AppDomain-com.example.notes", "Documents/mine.txt");
    writeWholeFile(other, "not LINE");
    Mb2TestHost substituting = host();
    substituting.substituteDownload("Manifest.db", "Manifest-line.db");
    const TestHostResult result = substituting.restore(true, true, false, true);
    ASSERT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_TRUE(fs::exists(other)) << "domains outside the manifest are not touched";
    EXPECT_EQ(result.filesSent, 3u + 12u) << "Status.plist, Manifest.plist, Manifest.db and LINE's files";
}

TEST_F(HostProtocolTest, ManifestRowsLeavingTheDomainAreIgnored)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    addManifestRow(kLineAppDomain, "../../../../escaped.txt");
    addManifestRow("../escape", "file.txt");
    addManifestRow(kLineAppDomain, "/etc/absolute");
    const TestHostResult result = host().restore(true, true, false, false);
    ASSERT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_FALSE(fs::exists(path("escaped.txt")));
    EXPECT_FALSE(fs::exists(m_deviceFolder + "/escaped.txt"));
    EXPECT_FALSE(fs::exists(m_deviceFolder + "/files/../escape"));
}

TEST_F(HostProtocolTest, RestoreOfSomeoneElsesUnfinishedBackupIsRefused)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    writeWholeFile(folder() + "/Status.plist", "");
    const TestHostResult result = host().restore(true, true, false, false);
    EXPECT_EQ(result.errorCode, 205u);
}

TEST_F(HostProtocolTest, ContentLargerThanItsManifestRowIsRestored)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    // A host that merged into a file without updating its row, as the program's transfer does.
    const std::string relative = "Library/Preferences/com.apple.purplebuddy.plist";
    const std::string grown(300000, 'g');
    writeWholeFile(folder() + "/" + backupContentPathFor("HomeDomain", relative), grown);
    const TestHostResult result = host().restore(true, true, false, false);
    ASSERT_EQ(result.errorCode, 0u) << result.errorDescription;
    EXPECT_EQ(readWholeFile(deviceFile("HomeDomain", relative)), grown);
}

TEST_F(HostProtocolTest, ContentBeyondTheDevicesSpaceFailsTheRestore)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(m_deviceFolder + "/files"))
        total += entry.is_regular_file() ? entry.file_size() : 0;
    control("set " + m_udid + " FreeSpace " + std::to_string(total + 1000));
    const std::string relative = "Library/Preferences/com.apple.purplebuddy.plist";
    const std::string before = readWholeFile(deviceFile("HomeDomain", relative));
    writeWholeFile(folder() + "/" + backupContentPathFor("HomeDomain", relative),
                   std::string(2'000'000, 'x'));
    const TestHostResult result = host().restore(true, true, false, false);
    EXPECT_EQ(result.errorCode, 205u);
    EXPECT_FALSE(result.connectionLost) << "the oversized file is read to its end";
    EXPECT_EQ(readWholeFile(deviceFile("HomeDomain", relative)), before);
    // The device clears its scratch space right after its answer.
    for (int i = 0; i < 100 && !fs::is_empty(m_deviceFolder + "/scratch"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::is_empty(m_deviceFolder + "/scratch")) << "staged files are removed";
}

TEST_F(HostProtocolTest, LittleDeviceSpaceIsError105OnRestore)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    control("set " + m_udid + " FreeSpace 1000");
    const TestHostResult result = host().restore(true, true, false, false);
    EXPECT_EQ(result.errorCode, 105u);
    EXPECT_NE(result.errorDescription.find("Insufficient free disk space on device to restore (1000 < "),
              std::string::npos)
        << result.errorDescription;
}

} // namespace
