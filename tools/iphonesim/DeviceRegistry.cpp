#include "DeviceRegistry.h"

#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"

#include <algorithm>

namespace iphonesim {

AttachedDevice DeviceRegistry::attach(std::shared_ptr<SimDevice> device)
{
    AttachedDevice attached;
    {
        std::lock_guard lock(m_mutex);
        for (const AttachedDevice& existing : m_devices) {
            if (existing.device->udid() == device->udid())
                throw SimError("device " + device->udid() + " is attached already");
        }
        attached.deviceId = m_nextId++;
        attached.locationId = 0x14100000u + (attached.deviceId << 8);
        attached.device = std::move(device);
        m_devices.push_back(attached);
    }
    logInfo("attached " + attached.device->udid() + " as device " + std::to_string(attached.deviceId));
    for (const auto& sink : sinks())
        sink->deviceAttached(attached);
    return attached;
}

bool DeviceRegistry::detach(const std::string& udid)
{
    AttachedDevice removed;
    {
        std::lock_guard lock(m_mutex);
        const auto found = std::find_if(m_devices.begin(), m_devices.end(),
                                        [&](const AttachedDevice& d) { return d.device->udid() == udid; });
        if (found == m_devices.end())
            return false;
        removed = *found;
        m_devices.erase(found);
    }
    removed.device->abortConnections();
    logInfo("detached " + udid);
    for (const auto& sink : sinks())
        sink->deviceDetached(removed.deviceId);
    return true;
}

void DeviceRegistry::detachAll()
{
    for (const AttachedDevice& device : list())
        detach(device.device->udid());
}

std::vector<AttachedDevice> DeviceRegistry::list() const
{
    std::lock_guard lock(m_mutex);
    return m_devices;
}

std::optional<AttachedDevice> DeviceRegistry::byId(uint32_t deviceId) const
{
    std::lock_guard lock(m_mutex);
    for (const AttachedDevice& device : m_devices) {
        if (device.deviceId == deviceId)
            return device;
    }
    return std::nullopt;
}

std::optional<AttachedDevice> DeviceRegistry::byUdid(const std::string& udid) const
{
    std::lock_guard lock(m_mutex);
    for (const AttachedDevice& device : m_devices) {
        if (device.device->udid() == udid)
            return device;
    }
    return std::nullopt;
}

std::vector<AttachedDevice> DeviceRegistry::addSink(const std::shared_ptr<MuxEventSink>& sink)
{
    std::lock_guard lock(m_mutex);
    m_sinks.push_back(sink);
    return m_devices;
}

void DeviceRegistry::removeSink(const MuxEventSink* sink)
{
    std::lock_guard lock(m_mutex);
    m_sinks.erase(
        std::remove_if(m_sinks.begin(), m_sinks.end(), [&](const auto& s) { return s.get() == sink; }),
        m_sinks.end());
}

void DeviceRegistry::notifyPaired(uint32_t deviceId)
{
    for (const auto& sink : sinks())
        sink->devicePaired(deviceId);
}

std::vector<std::shared_ptr<MuxEventSink>> DeviceRegistry::sinks() const
{
    std::lock_guard lock(m_mutex);
    return m_sinks;
}

} // namespace iphonesim
