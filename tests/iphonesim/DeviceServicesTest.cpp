// AFC, notification proxy, installation proxy lookup and lockdown values through libimobiledevice's clients.
#include "Plist.h"
#include "SimDevice.h"
#include "SimTestSupport.h"

#include <libimobiledevice/afc.h>
#include <libimobiledevice/installation_proxy.h>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <libimobiledevice/notification_proxy.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

class DeviceServicesTest : public SimulatorTest
{
protected:
    void SetUp() override
    {
        SimulatorTest::SetUp();
        ASSERT_EQ(idevice_new_with_options(&m_device, m_udid.c_str(), IDEVICE_LOOKUP_USBMUX),
                  IDEVICE_E_SUCCESS);
        ASSERT_EQ(lockdownd_client_new_with_handshake(m_device, &m_lockdown, "test"), LOCKDOWN_E_SUCCESS);
    }
    void TearDown() override
    {
        if (m_lockdown)
            lockdownd_client_free(m_lockdown);
        if (m_device)
            idevice_free(m_device);
        SimulatorTest::TearDown();
    }

    lockdownd_service_descriptor_t start(const char* service)
    {
        lockdownd_service_descriptor_t descriptor = nullptr;
        EXPECT_EQ(lockdownd_start_service(m_lockdown, service, &descriptor), LOCKDOWN_E_SUCCESS) << service;
        return descriptor;
    }

    idevice_t m_device = nullptr;
    lockdownd_client_t m_lockdown = nullptr;
};

TEST_F(DeviceServicesTest, AfcWritesReadsLocksAndStaysInItsArea)
{
    lockdownd_service_descriptor_t service = start("com.apple.afc");
    afc_client_t afc = nullptr;
    ASSERT_EQ(afc_client_new(m_device, service, &afc), AFC_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    EXPECT_EQ(afc_make_directory(afc, "/iTunesRestore"), AFC_E_SUCCESS);
    uint64_t file = 0;
    ASSERT_EQ(afc_file_open(afc, "/iTunesRestore/a.plist", AFC_FOPEN_WR, &file), AFC_E_SUCCESS);
    uint32_t written = 0;
    EXPECT_EQ(afc_file_write(afc, file, "hello", 5, &written), AFC_E_SUCCESS);
    EXPECT_EQ(afc_file_seek(afc, file, 0, SEEK_SET), AFC_E_SUCCESS);
    char buffer[16] = {};
    uint32_t read = 0;
    EXPECT_EQ(afc_file_read(afc, file, buffer, sizeof buffer, &read), AFC_E_SUCCESS);
    EXPECT_EQ(std::string(buffer, read), "hello");
    EXPECT_EQ(afc_file_lock(afc, file, AFC_LOCK_EX), AFC_E_SUCCESS);
    EXPECT_EQ(afc_file_close(afc, file), AFC_E_SUCCESS);
    EXPECT_EQ(readWholeFile(m_deviceFolder + "/afc/iTunesRestore/a.plist"), "hello");

    char** info = nullptr;
    ASSERT_EQ(afc_get_file_info(afc, "/iTunesRestore/a.plist", &info), AFC_E_SUCCESS);
    EXPECT_STREQ(info[0], "st_size");
    EXPECT_STREQ(info[1], "5");
    afc_dictionary_free(info);
    info = nullptr;
    EXPECT_EQ(afc_get_file_info(afc, "/Books/iBooksData2.plist", &info), AFC_E_OBJECT_NOT_FOUND);
    EXPECT_EQ(afc_get_file_info(afc, "/../device.plist", &info), AFC_E_PERM_DENIED);
    EXPECT_EQ(afc_remove_path(afc, "/iTunesRestore"), AFC_E_DIR_NOT_EMPTY);
    EXPECT_EQ(afc_remove_path(afc, "/iTunesRestore/a.plist"), AFC_E_SUCCESS);
    EXPECT_EQ(afc_remove_path(afc, "/iTunesRestore"), AFC_E_SUCCESS);
    afc_client_free(afc);
}

TEST_F(DeviceServicesTest, AfcLockIsExclusiveAcrossConnections)
{
    afc_client_t first = nullptr;
    afc_client_t second = nullptr;
    lockdownd_service_descriptor_t service = start("com.apple.afc");
    ASSERT_EQ(afc_client_new(m_device, service, &first), AFC_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    service = start("com.apple.afc");
    ASSERT_EQ(afc_client_new(m_device, service, &second), AFC_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    uint64_t one = 0;
    uint64_t two = 0;
    ASSERT_EQ(afc_file_open(first, "/com.apple.itunes.lock_sync", AFC_FOPEN_RW, &one), AFC_E_SUCCESS);
    ASSERT_EQ(afc_file_open(second, "/com.apple.itunes.lock_sync", AFC_FOPEN_RW, &two), AFC_E_SUCCESS);
    EXPECT_EQ(afc_file_lock(first, one, AFC_LOCK_EX), AFC_E_SUCCESS);
    EXPECT_EQ(afc_file_lock(second, two, AFC_LOCK_EX), AFC_E_OP_WOULD_BLOCK);
    EXPECT_EQ(afc_file_lock(first, one, AFC_LOCK_UN), AFC_E_SUCCESS);
    EXPECT_EQ(afc_file_lock(second, two, AFC_LOCK_EX), AFC_E_SUCCESS);
    afc_client_free(first);
    afc_client_free(second);
}

TEST_F(DeviceServicesTest, NotificationsReachObserversOfOtherConnections)
{
    lockdownd_service_descriptor_t service = start(NP_SERVICE_NAME);
    np_client_t observer = nullptr;
    ASSERT_EQ(np_client_new(m_device, service, &observer), NP_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    // Every name that reaches the observer, in order (the callback runs on libimobiledevice's thread).
    static std::mutex namesLock;
    static std::vector<std::string> names;
    const auto received = [] {
        std::lock_guard<std::mutex> lock(namesLock);
        return names;
    };
    names.clear();
    np_set_notify_callback(
        observer,
        [](const char* name, void*) {
            std::lock_guard<std::mutex> lock(namesLock);
            names.emplace_back(name);
        },
        nullptr);
    ASSERT_EQ(np_observe_notification(observer, NP_SYNC_CANCEL_REQUEST), NP_E_SUCCESS);
    ASSERT_EQ(np_observe_notification(observer, NP_SYNC_LOCK_REQUEST), NP_E_SUCCESS);
    // The observations are registered once the service has read it.
    for (int i = 0; i < 50 && received().empty(); ++i) {
        control("notify " + m_udid + " " + NP_SYNC_CANCEL_REQUEST);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(received().empty());
    // An unobserved name, then an observed marker: notifications arrive in order, so once the marker is
    // there the unobserved name would have arrived before it.
    const auto markerArrived = [&] {
        const std::vector<std::string> all = received();
        return std::find(all.begin(), all.end(), NP_SYNC_LOCK_REQUEST) != all.end();
    };
    control("notify " + m_udid + " com.apple.other");
    control("notify " + m_udid + " " + NP_SYNC_LOCK_REQUEST);
    // Up to 20 s: on a machine busy with other tests the relay has taken longer than 5 s.
    for (int i = 0; i < 1000 && !markerArrived(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(markerArrived());
    for (const std::string& name : received())
        EXPECT_NE(name, "com.apple.other") << "only observed names are relayed";
    np_client_free(observer);
}

TEST_F(DeviceServicesTest, InstallationProxyLookupAndReturnAttributes)
{
    instproxy_client_t proxy = nullptr;
    lockdownd_service_descriptor_t service = start(INSTPROXY_SERVICE_NAME);
    ASSERT_EQ(instproxy_client_new(m_device, service, &proxy), INSTPROXY_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    plist_t options = instproxy_client_options_new();
    instproxy_client_options_add(options, "ApplicationType", "User", nullptr);
    instproxy_client_options_set_return_attributes(options, "CFBundleIdentifier", "Container", nullptr);
    plist_t apps = nullptr;
    ASSERT_EQ(instproxy_browse(proxy, options, &apps), INSTPROXY_E_SUCCESS);
    PlistPtr owned(apps);
    ASSERT_GT(plist_array_get_size(apps), 0u);
    plist_t first = plist_array_get_item(apps, 0);
    EXPECT_EQ(plist_dict_get_size(first), 2u) << "only the attributes asked for";
    const char* ids[] = {"jp.naver.line", nullptr};
    plist_t found = nullptr;
    ASSERT_EQ(instproxy_lookup(proxy, ids, options, &found), INSTPROXY_E_SUCCESS);
    PlistPtr ownedFound(found);
    EXPECT_EQ(plist_dict_get_size(found), 1u);
    EXPECT_TRUE(dictItem(found, "jp.naver.line", PLIST_DICT));
    instproxy_client_options_free(options);
    instproxy_client_free(proxy);
}

TEST_F(DeviceServicesTest, DeviceNameCanBeChangedAndOtherValuesCannot)
{
    EXPECT_EQ(lockdownd_set_value(m_lockdown, nullptr, "DeviceName", plist_new_string("Renamed")),
              LOCKDOWN_E_SUCCESS);
    plist_t value = nullptr;
    ASSERT_EQ(lockdownd_get_value(m_lockdown, nullptr, "DeviceName", &value), LOCKDOWN_E_SUCCESS);
    EXPECT_EQ(nodeString(value), std::string("Renamed"));
    plist_free(value);
    EXPECT_EQ(lockdownd_set_value(m_lockdown, nullptr, "ProductVersion", plist_new_string("99.0")),
              LOCKDOWN_E_SET_PROHIBITED);
    // Kept in the device folder across a re-attach.
    m_simulator->detach(m_udid);
    m_simulator->attach(m_deviceFolder);
    EXPECT_EQ(m_simulator->device(m_udid)->lockdownString("DeviceName"), "Renamed");
}

TEST_F(DeviceServicesTest, UnknownServicesAndWrongEscrowBagsAreRefused)
{
    lockdownd_service_descriptor_t service = nullptr;
    EXPECT_EQ(lockdownd_start_service(m_lockdown, "com.apple.springboardservices", &service),
              LOCKDOWN_E_INVALID_SERVICE);
    EXPECT_EQ(lockdownd_start_service_with_escrow_bag(m_lockdown, "com.apple.mobilebackup2", &service),
              LOCKDOWN_E_SUCCESS);
    lockdownd_service_descriptor_free(service);
    service = nullptr;
    // The computer's record now carries another escrow bag than the device handed out.
    const std::string recordPath = pairRecordFolder() + "/" + m_udid + ".plist";
    PlistPtr record = plistFromFile(recordPath);
    ASSERT_TRUE(record);
    dictSetData(record.get(), "EscrowBag", "not the device's bag");
    plistToFile(record.get(), recordPath, PlistFormat::Binary);
    EXPECT_EQ(lockdownd_start_service_with_escrow_bag(m_lockdown, "com.apple.mobilebackup2", &service),
              LOCKDOWN_E_ESCROW_LOCKED);
    lockdownd_service_descriptor_free(service);
}

} // namespace
