#include "NotificationProxyService.h"

#include "PlistChannel.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"

#include <mutex>

namespace iphonesim {

NotificationProxyService::NotificationProxyService(SimDevice& device, PlistChannel& channel)
    : m_device(device), m_channel(channel)
{
}

void NotificationProxyService::run()
{
    std::mutex writeMutex;
    auto sendCommand = [&](const char* command, const std::string* name) {
        PlistPtr message = newDict();
        dictSetString(message.get(), "Command", command);
        if (name)
            dictSetString(message.get(), "Name", *name);
        std::lock_guard lock(writeMutex);
        m_channel.send(message.get(), PlistFormat::Xml);
    };
    NotificationHub& hub = m_device.notifications();
    const int id = hub.subscribe([&](const std::string& name) {
        try {
            sendCommand("RelayNotification", &name);
        } catch (const SimError&) {
            // The client is gone; its reading thread ends the service.
        }
    });
    struct Unsubscribe
    {
        NotificationHub& hub;
        int id;
        ~Unsubscribe() { hub.unsubscribe(id); }
    } unsubscribe{hub, id};
    for (;;) {
        PlistPtr message = m_channel.receive();
        const std::string command = dictString(message.get(), "Command").value_or("");
        const std::string name = dictString(message.get(), "Name").value_or("");
        logDebug(m_device.udid() + " notification_proxy " + command + " " + name);
        if (command == "ObserveNotification" && !name.empty()) {
            hub.observe(id, name);
        } else if (command == "PostNotification" && !name.empty()) {
            hub.post(name);
        } else if (command == "Shutdown") {
            sendCommand("ProxyDeath", nullptr);
            return;
        }
    }
}

} // namespace iphonesim
