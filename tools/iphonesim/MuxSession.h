#pragma once

#include "DeviceServices.h"
#include "Plist.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace iphonesim {

class DeviceRegistry;
class HostPairStore;
class SimStream;
struct AttachedDevice;

// usbmuxd message types and result codes.
namespace Mux {
constexpr uint32_t kResult = 1;
constexpr uint32_t kConnect = 2;
constexpr uint32_t kListen = 3;
constexpr uint32_t kDeviceAdd = 4;
constexpr uint32_t kDeviceRemove = 5;
constexpr uint32_t kDevicePaired = 6;
constexpr uint32_t kPlist = 8;

constexpr uint32_t kOk = 0;
constexpr uint32_t kBadCommand = 1;
constexpr uint32_t kBadDevice = 2;
constexpr uint32_t kConnectionRefused = 3;
constexpr uint32_t kBadVersion = 6;
constexpr uint32_t kNoEntry = 2;  // ENOENT, for pair records
constexpr uint32_t kInvalid = 22; // EINVAL

// Packets from clients larger than this are refused.
constexpr uint32_t kMaxPacket = 1u << 20;
} // namespace Mux

// One client connection to usbmuxd. It answers requests until the client closes it, or it turns into a
// listener (Listen) or into a connection to a device (Connect).
class MuxSession
{
public:
    MuxSession(SimStream& stream, DeviceRegistry& registry, HostPairStore& pairStore,
               const ServiceOptions& options);
    void run();

    // Writes one packet; thread-safe (listeners receive events from other threads).
    void sendPacket(uint32_t version, uint32_t message, uint32_t tag, const std::string& payload);
    void sendPlist(uint32_t tag, plist_t message);
    void sendResult(uint32_t tag, uint32_t result);

    uint32_t version() const { return m_version; }

private:
    // Returns false when the session ends (the stream was handed to a device or the client left).
    bool handlePlist(uint32_t tag, plist_t message);
    void listen(uint32_t tag);
    void connect(uint32_t tag, uint32_t deviceId, uint16_t port);
    void savePairRecord(uint32_t tag, plist_t message);

    SimStream& m_stream;
    DeviceRegistry& m_registry;
    HostPairStore& m_pairStore;
    const ServiceOptions& m_options;
    std::mutex m_writeMutex;
    uint32_t m_version = 1;
};

// The "Attached" event and ListDevices entry of a device.
PlistPtr attachedDeviceMessage(const AttachedDevice& device);

} // namespace iphonesim
