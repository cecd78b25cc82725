// usbmuxd as libusbmuxd sees it, and what happens to bad packets.
#include "FdHandle.h"
#include "Plist.h"
#include "SimTestSupport.h"

#include <usbmuxd.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

class MuxProtocolTest : public SimulatorTest
{
protected:
    FdHandle connectRaw()
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath().c_str(), sizeof address.sun_path - 1);
        FdHandle fd(::socket(AF_UNIX, SOCK_STREAM, 0));
        EXPECT_EQ(::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        timeval timeout = {5, 0};
        ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        return fd;
    }

    static void sendPacket(int fd, uint32_t version, uint32_t message, uint32_t tag,
                           const std::string& payload, uint32_t claimedLength = 0)
    {
        const uint32_t header[4] = {claimedLength ? claimedLength : uint32_t(16 + payload.size()), version,
                                    message, tag};
        std::string packet(reinterpret_cast<const char*>(header), 16);
        packet += payload;
        ASSERT_EQ(::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL), ssize_t(packet.size()));
    }

    // Reads one reply packet; an empty payload when the connection closed.
    static std::string receivePacket(int fd, uint32_t* message = nullptr)
    {
        uint32_t header[4] = {};
        if (::recv(fd, header, 16, MSG_WAITALL) != 16)
            return {};
        if (message)
            *message = header[2];
        std::string payload(header[0] - 16, '\0');
        if (::recv(fd, payload.data(), payload.size(), MSG_WAITALL) != ssize_t(payload.size()))
            return {};
        return payload;
    }

    static std::string plistRequest(const char* type)
    {
        PlistPtr request = newDict();
        dictSetString(request.get(), "MessageType", type);
        return plistToBytes(request.get(), PlistFormat::Xml);
    }

    int deviceCount()
    {
        usbmuxd_device_info_t* list = nullptr;
        const int count = usbmuxd_get_device_list(&list);
        usbmuxd_device_list_free(&list);
        return count;
    }
};

TEST_F(MuxProtocolTest, ListsAttachedDevices)
{
    usbmuxd_device_info_t* list = nullptr;
    ASSERT_EQ(usbmuxd_get_device_list(&list), 1);
    EXPECT_EQ(std::string(list[0].udid), m_udid);
    EXPECT_EQ(list[0].conn_type, CONNECTION_TYPE_USB);
    usbmuxd_device_list_free(&list);
    const std::string second = makeDevice("second", smallDeviceOptions(99));
    const std::string udid = m_simulator->attach(second);
    EXPECT_EQ(deviceCount(), 2);
    EXPECT_EQ(control("list"), "OK " + m_udid + "," + udid);
    m_simulator->detach(udid);
    EXPECT_EQ(deviceCount(), 1);
}

TEST_F(MuxProtocolTest, NewerUdidsKeepTheirHyphen)
{
    GeneratorOptions options = smallDeviceOptions(5);
    options.udid = "00008030-001D35093EF2402E";
    const std::string udid = m_simulator->attach(makeDevice("newer", options));
    usbmuxd_device_info_t device = {};
    EXPECT_EQ(usbmuxd_get_device_by_udid(udid.c_str(), &device), 1);
    EXPECT_EQ(std::string(device.udid), udid);
}

TEST_F(MuxProtocolTest, ListenersHearAttachAndDetach)
{
    struct Events
    {
        std::mutex mutex;
        std::vector<std::pair<int, std::string>> seen;
    } events;
    usbmuxd_subscription_context_t context = nullptr;
    ASSERT_EQ(usbmuxd_events_subscribe(
                  &context,
                  [](const usbmuxd_event_t* event, void* data) {
                      auto* events = static_cast<Events*>(data);
                      std::lock_guard lock(events->mutex);
                      events->seen.emplace_back(event->event, event->device.udid);
                  },
                  &events),
              0);
    const std::string udid = m_simulator->attach(makeDevice("second", smallDeviceOptions(42)));
    m_simulator->detach(udid);
    for (int i = 0; i < 100; ++i) {
        {
            std::lock_guard lock(events.mutex);
            if (events.seen.size() >= 3)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::vector<std::pair<int, std::string>> seen;
    {
        std::lock_guard lock(events.mutex);
        seen = events.seen;
    }
    // Unsubscribing makes libusbmuxd report the remaining devices as removed; those do not count.
    usbmuxd_events_unsubscribe(context);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(int(UE_DEVICE_ADD), m_udid));
    EXPECT_EQ(seen[1], std::make_pair(int(UE_DEVICE_ADD), udid));
    EXPECT_EQ(seen[2], std::make_pair(int(UE_DEVICE_REMOVE), udid));
}

TEST_F(MuxProtocolTest, PairingIsAnnouncedToListeners)
{
    struct Events
    {
        std::mutex mutex;
        std::vector<int> seen;
    } events;
    usbmuxd_subscription_context_t context = nullptr;
    ASSERT_EQ(usbmuxd_events_subscribe(
                  &context,
                  [](const usbmuxd_event_t* event, void* data) {
                      auto* events = static_cast<Events*>(data);
                      std::lock_guard lock(events->mutex);
                      events->seen.push_back(event->event);
                  },
                  &events),
              0);
    const ToolRun run = runTool("idevicepair", {"pair"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    bool paired = false;
    for (int i = 0; i < 100 && !paired; ++i) {
        {
            std::lock_guard lock(events.mutex);
            paired =
                std::find(events.seen.begin(), events.seen.end(), int(UE_DEVICE_PAIRED)) != events.seen.end();
        }
        if (!paired)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    usbmuxd_events_unsubscribe(context);
    EXPECT_TRUE(paired);
}

TEST_F(MuxProtocolTest, PairRecordsAreSavedReadAndDeleted)
{
    char* buid = nullptr;
    ASSERT_EQ(usbmuxd_read_buid(&buid), 0);
    char* again = nullptr;
    ASSERT_EQ(usbmuxd_read_buid(&again), 0);
    EXPECT_STREQ(buid, again);
    std::free(buid);
    std::free(again);

    char* data = nullptr;
    uint32_t size = 0;
    EXPECT_LT(usbmuxd_read_pair_record("0123456789abcdef0123456789abcdef01234567", &data, &size), 0);
    const std::string record = "bplist00 pretend record";
    ASSERT_EQ(usbmuxd_save_pair_record("0123456789abcdef0123456789abcdef01234567", record.data(),
                                       uint32_t(record.size())),
              0);
    ASSERT_EQ(usbmuxd_read_pair_record("0123456789abcdef0123456789abcdef01234567", &data, &size), 0);
    EXPECT_EQ(std::string(data, size), record);
    std::free(data);
    EXPECT_EQ(usbmuxd_delete_pair_record("0123456789abcdef0123456789abcdef01234567"), 0);
    EXPECT_FALSE(fs::exists(pairRecordFolder() + "/0123456789abcdef0123456789abcdef01234567.plist"));
}

TEST_F(MuxProtocolTest, PairRecordNamesCannotLeaveTheFolder)
{
    const std::string record = "x";
    EXPECT_NE(usbmuxd_save_pair_record("../escape", record.data(), 1), 0);
    EXPECT_NE(usbmuxd_save_pair_record("SystemConfiguration", record.data(), 1), 0);
    EXPECT_FALSE(fs::exists(path("escape.plist")));
}

TEST_F(MuxProtocolTest, ConnectingToAPortNobodyListensOnIsRefused)
{
    usbmuxd_device_info_t device = {};
    ASSERT_EQ(usbmuxd_get_device_by_udid(m_udid.c_str(), &device), 1);
    EXPECT_EQ(usbmuxd_connect(device.handle, 50000), -ECONNREFUSED);
    EXPECT_EQ(usbmuxd_connect(device.handle + 77, 62078), -ENODEV);
    const int lockdown = usbmuxd_connect(device.handle, 62078);
    EXPECT_GE(lockdown, 0);
    usbmuxd_disconnect(lockdown);
}

TEST_F(MuxProtocolTest, BadPacketsCloseOnlyTheirConnection)
{
    {
        FdHandle fd = connectRaw();
        sendPacket(fd.get(), 1, 8, 1, "", 0x7fffffff); // claims two gigabytes
        EXPECT_EQ(receivePacket(fd.get()), "");
    }
    {
        FdHandle fd = connectRaw();
        sendPacket(fd.get(), 1, 8, 2, "not a property list at all");
        EXPECT_EQ(receivePacket(fd.get()), "");
    }
    {
        FdHandle fd = connectRaw();
        sendPacket(fd.get(), 7, 8, 3, plistRequest("ListDevices"));
        PlistPtr reply = plistFromBytes(receivePacket(fd.get()));
        EXPECT_EQ(dictUInt(reply.get(), "Number"), 6u) << "unknown protocol version";
    }
    {
        FdHandle fd = connectRaw();
        sendPacket(fd.get(), 1, 8, 4, plistRequest("Frobnicate"));
        PlistPtr reply = plistFromBytes(receivePacket(fd.get()));
        EXPECT_EQ(dictUInt(reply.get(), "Number"), 1u) << "unknown command";
    }
    EXPECT_EQ(deviceCount(), 1) << "the server keeps serving";
}

TEST_F(MuxProtocolTest, BinaryProtocolListensAndConnects)
{
    FdHandle fd = connectRaw();
    sendPacket(fd.get(), 0, 3, 1, "");
    uint32_t message = 0;
    std::string payload = receivePacket(fd.get(), &message);
    ASSERT_EQ(message, 1u);
    uint32_t result = 1;
    std::memcpy(&result, payload.data(), 4);
    EXPECT_EQ(result, 0u);
    payload = receivePacket(fd.get(), &message);
    ASSERT_EQ(message, 4u) << "device added";
    ASSERT_GE(payload.size(), 268u);
    std::string serial(payload.data() + 6);
    EXPECT_EQ(serial, m_udid);
    uint32_t deviceId = 0;
    std::memcpy(&deviceId, payload.data(), 4);

    FdHandle connection = connectRaw();
    const uint32_t request[2] = {deviceId, uint32_t(htons(62078))};
    sendPacket(connection.get(), 0, 2, 9, std::string(reinterpret_cast<const char*>(request), 8));
    payload = receivePacket(connection.get(), &message);
    ASSERT_EQ(message, 1u);
    std::memcpy(&result, payload.data(), 4);
    EXPECT_EQ(result, 0u);
}

} // namespace
