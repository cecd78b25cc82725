// What the simulated iPhone does the way newer iPhones do, by its system version: the DeviceLink version,
// the incremental start, the host's free space, the passcode of encrypted backups, and the restore rules.
#include "DeviceGenerator.h"
#include "ManifestEntry.h"
#include "Mb2TestHost.h"
#include "SimDevice.h"
#include "SimTestSupport.h"
#include "SqliteHandle.h"

#include <algorithm>
#include <filesystem>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <libimobiledevice/property_list_service.h>
#include <thread>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

size_t count(const TestHostResult& result, const std::string& message)
{
    return size_t(std::count(result.messages.begin(), result.messages.end(), message));
}

// The major version of the mobilebackup2 service's DeviceLink version exchange.
uint64_t deviceLinkVersion(const std::string& udid)
{
    idevice_t device = nullptr;
    lockdownd_client_t lockdown = nullptr;
    lockdownd_service_descriptor_t service = nullptr;
    property_list_service_client_t client = nullptr;
    plist_t message = nullptr;
    uint64_t version = 0;
    if (idevice_new(&device, udid.c_str()) == IDEVICE_E_SUCCESS &&
        lockdownd_client_new_with_handshake(device, &lockdown, "test") == LOCKDOWN_E_SUCCESS &&
        lockdownd_start_service_with_escrow_bag(lockdown, "com.apple.mobilebackup2", &service) ==
            LOCKDOWN_E_SUCCESS &&
        property_list_service_client_new(device, service, &client) == PROPERTY_LIST_SERVICE_E_SUCCESS &&
        property_list_service_receive_plist(client, &message) == PROPERTY_LIST_SERVICE_E_SUCCESS && message &&
        plist_array_get_size(message) >= 2)
        plist_get_uint_val(plist_array_get_item(message, 1), &version);
    if (message)
        plist_free(message);
    if (client)
        property_list_service_client_free(client);
    if (service)
        lockdownd_service_descriptor_free(service);
    if (lockdown)
        lockdownd_client_free(lockdown);
    if (device)
        idevice_free(device);
    return version;
}

class NewerSystemsTest : public SimulatorTest
{
protected:
    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = smallDeviceOptions();
        options.productVersion = "17.5";
        options.settings.keybagIterations = 10;
        options.settings.keybagDataProtectionIterations = 10;
        return options;
    }
    // Long enough for a second restore to come before the reboot.
    void adjustOptions(SimulatorOptions& options) const override
    {
        options.rebootDelay = std::chrono::seconds(4);
    }

    std::string root() { return path("host"); }
    std::string folder() { return root() + "/" + m_udid; }
    Mb2TestHost host() { return Mb2TestHost(m_udid, root()); }

    void addManifestRow(const std::string& domain, const std::string& relativePath)
    {
        ManifestEntry entry;
        entry.domain = domain;
        entry.relativePath = relativePath;
        entry.flags = ManifestEntry::Directory;
        SqliteDb db(folder() + "/Manifest.db", SQLITE_OPEN_READWRITE);
        SqliteStatement insert(db, "INSERT INTO Files VALUES (?,?,?,2,?)");
        insert.bind(1, backupFileId(domain, relativePath))
            .bind(2, domain)
            .bind(3, relativePath)
            .bindBlob(4, encodeMbFile(entry))
            .run();
    }

    void removeManifestRows(const std::string& domain)
    {
        SqliteDb db(folder() + "/Manifest.db", SQLITE_OPEN_READWRITE);
        SqliteStatement remove(db, "DELETE FROM Files WHERE domain=?");
        remove.bind(1, domain).run();
    }

    uint64_t deviceBytes()
    {
        uint64_t total = 0;
        for (const auto& entry : fs::recursive_directory_iterator(m_deviceFolder + "/files"))
            total += entry.is_regular_file() ? entry.file_size() : 0;
        return total;
    }
};

TEST_F(NewerSystemsTest, DeviceLinkVersionFollowsTheSystem)
{
    EXPECT_EQ(deviceLinkVersion(m_udid), 400u);
    GeneratorOptions options = smallDeviceOptions(12);
    options.productVersion = "13.7";
    const std::string older = m_simulator->attach(makeDevice("older", options));
    EXPECT_EQ(deviceLinkVersion(older), 300u);
    // Debian's idevicebackup2 speaks both.
    fs::create_directories(root());
    for (const std::string& udid : {m_udid, older}) {
        const ToolRun run =
            runTool("idevicebackup2", {"backup", "--full", "--udid", QString::fromStdString(udid),
                                       QString::fromStdString(root())});
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        EXPECT_TRUE(run.output.contains("Backup Successful.")) << run.output.toStdString();
    }
}

TEST_F(NewerSystemsTest, IncrementalBackupAsksForThePropertiesAndTheManifestAtOnce)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    writeWholeFile(deviceFile("HomeDomain", "Library/Notes/new.txt"), "a note");
    const TestHostResult incremental = host().backup(false);
    ASSERT_EQ(incremental.errorCode, 0u) << incremental.errorDescription;
    EXPECT_EQ(count(incremental, "DLMessageDownloadFiles"), 1u);
    EXPECT_EQ(incremental.filesReceived, 5u) << "the new file and the metadata";
    EXPECT_EQ(compareBackupWithDevice(folder(), m_deviceFolder), "");

    fs::remove(folder() + "/Manifest.plist");
    const TestHostResult missing = host().backup(false);
    EXPECT_EQ(missing.errorCode, 205u);
    EXPECT_NE(missing.errorDescription.find("Manifest.plist is missing or empty"), std::string::npos);
    EXPECT_EQ(missing.filesReceived, 0u);
}

TEST_F(NewerSystemsTest, HostSpaceNeedsAMarginAndIsPurgedOnce)
{
    fs::create_directories(root());
    Mb2TestHost tight = host();
    tight.setFreeSpace(deviceBytes() + (64ull << 20));
    const TestHostResult refused = tight.backup(true);
    EXPECT_EQ(refused.errorCode, 105u);
    EXPECT_EQ(count(refused, "DLMessagePurgeDiskSpace"), 1u);
    EXPECT_EQ(count(refused, "DLMessageGetFreeDiskSpace"), 2u);
    EXPECT_EQ(refused.filesReceived, 0u);

    Mb2TestHost roomy = host();
    roomy.setFreeSpace(deviceBytes() + (256ull << 20));
    const TestHostResult done = roomy.backup(true);
    EXPECT_EQ(done.errorCode, 0u) << done.errorDescription;
    EXPECT_EQ(count(done, "DLMessagePurgeDiskSpace"), 0u);
}

TEST_F(NewerSystemsTest, EncryptedBackupWaitsForThePasscode)
{
    fs::create_directories(root());
    control("set " + m_udid + " BackupPassword secret");
    control("set " + m_udid + " WillEncrypt on");
    control("set " + m_udid + " PasscodeTimeout 1");
    const TestHostResult locked = host().backup(true);
    EXPECT_EQ(locked.errorCode, 208u);
    EXPECT_EQ(locked.errorDescription, "Device locked (MBErrorDomain/208)");
    EXPECT_EQ(locked.filesReceived, 0u);
    control("passcode " + m_udid);
    const TestHostResult done = host().backup(true);
    EXPECT_EQ(done.errorCode, 0u) << done.errorDescription;
    EXPECT_GT(done.filesReceived, 60u);
    // Older systems do not ask.
    GeneratorOptions options = smallDeviceOptions(13);
    options.productVersion = "16.0";
    options.settings.willEncrypt = true;
    options.settings.backupPassword = "secret";
    options.settings.keybagIterations = 10;
    options.settings.keybagDataProtectionIterations = 10;
    options.settings.passcodeTimeoutSeconds = 0;
    const std::string older = m_simulator->attach(makeDevice("older", options));
    EXPECT_EQ(Mb2TestHost(older, root()).backup(true).errorCode, 0u);
}

TEST_F(NewerSystemsTest, RestoreRefusesUnknownDomainsAndASecondRestoreBeforeTheReboot)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    addManifestRow("AppDomain-com.example.notinstalled", "Documents");
    const TestHostResult unknown = host().restore(true, true, true, false);
    EXPECT_EQ(unknown.errorCode, 205u);
    EXPECT_NE(unknown.errorDescription.find("Unknown domain name: AppDomain-com.example.notinstalled"),
              std::string::npos);
    removeManifestRows("AppDomain-com.example.notinstalled");
    addManifestRow("HomeDomain/../x", "Library");
    EXPECT_EQ(host().restore(true, true, true, false).errorCode, 205u);
    removeManifestRows("HomeDomain/../x");

    const TestHostResult first = host().restore(true, true, true, false);
    ASSERT_EQ(first.errorCode, 0u) << first.errorDescription;
    const TestHostResult second = host().restore(true, true, true, false);
    EXPECT_EQ(second.errorCode, 102u);
    EXPECT_NE(second.errorDescription.find("Failed to move the incomplete restore directory into place"),
              std::string::npos);
    // The reboot detaches the phone, clears the mark and attaches it again.
    for (int i = 0; i < 200; ++i) {
        const auto device = m_simulator->device(m_udid);
        if (!device || !device->settings().restorePendingReboot)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
    EXPECT_EQ(host().restore(true, true, false, false).errorCode, 0u) << "after the reboot";
}

class NewestSystemTest : public NewerSystemsTest
{
protected:
    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = NewerSystemsTest::deviceOptions();
        options.productVersion = "27.0";
        return options;
    }
};

TEST_F(NewestSystemTest, SparseRestoreWithAppDataIsDropped)
{
    fs::create_directories(root());
    ASSERT_EQ(host().backup(true).errorCode, 0u);
    fs::copy_file(folder() + "/Manifest.db", folder() + "/Manifest-line.db");
    {
        SqliteDb db(folder() + "/Manifest-line.db", SQLITE_OPEN_READWRITE);
        db.execute("DELETE FROM Files WHERE domain NOT IN ('AppDomain-jp.naver.line', "
                   "'AppDomainGroup-group.com.linecorp.line')");
    }
    const std::string file = deviceFile(kLineGroupDomain, "Library/changed.txt");
    writeWholeFile(file, "on the phone");
    Mb2TestHost sparse = host();
    sparse.substituteDownload("Manifest.db", "Manifest-line.db");
    const TestHostResult dropped = sparse.restore(true, true, false, false);
    EXPECT_TRUE(dropped.connectionLost);
    EXPECT_FALSE(dropped.finished);
    EXPECT_EQ(readWholeFile(file), "on the phone");
    // A whole backup is still restored.
    const TestHostResult whole = host().restore(true, true, false, false);
    EXPECT_EQ(whole.errorCode, 0u) << whole.errorDescription;
}

} // namespace
