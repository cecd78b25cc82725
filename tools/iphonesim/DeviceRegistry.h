#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace iphonesim {

class SimDevice;

// A device plugged into the simulated USB bus, with the number usbmuxd gave it.
struct AttachedDevice
{
    uint32_t deviceId = 0;
    uint32_t locationId = 0;
    uint16_t productId = 0x12a8;
    std::shared_ptr<SimDevice> device;
};

// Receives usbmuxd events (clients in Listen mode).
class MuxEventSink
{
public:
    virtual ~MuxEventSink() = default;
    virtual void deviceAttached(const AttachedDevice& device) = 0;
    virtual void deviceDetached(uint32_t deviceId) = 0;
    virtual void devicePaired(uint32_t deviceId) = 0;
};

// The attached devices and the listeners told about them. Thread-safe; events are delivered on the thread
// that caused them, outside the registry's lock.
class DeviceRegistry
{
public:
    // Throws SimError when a device with the same UDID is attached already.
    AttachedDevice attach(std::shared_ptr<SimDevice> device);
    // Cuts the device's connections and tells the listeners; false when it was not attached.
    bool detach(const std::string& udid);
    void detachAll();

    std::vector<AttachedDevice> list() const;
    std::optional<AttachedDevice> byId(uint32_t deviceId) const;
    std::optional<AttachedDevice> byUdid(const std::string& udid) const;

    // Adds a listener and returns the devices attached at that moment (to be announced by the caller).
    std::vector<AttachedDevice> addSink(const std::shared_ptr<MuxEventSink>& sink);
    void removeSink(const MuxEventSink* sink);
    void notifyPaired(uint32_t deviceId);

private:
    std::vector<std::shared_ptr<MuxEventSink>> sinks() const;

    mutable std::mutex m_mutex;
    std::vector<AttachedDevice> m_devices;
    std::vector<std::shared_ptr<MuxEventSink>> m_sinks;
    uint32_t m_nextId = 1;
};

} // namespace iphonesim
