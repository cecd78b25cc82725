#include "MuxSession.h"

#include "DeviceRegistry.h"
#include "HostPairStore.h"
#include "LockdownService.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <endian.h>

namespace iphonesim {

namespace {

struct MuxHeader
{
    uint32_t length;
    uint32_t version;
    uint32_t message;
    uint32_t tag;
};

// usbmuxd reports the USB serial number: newer devices drop the hyphen of their UDID (libusbmuxd puts it
// back).
std::string usbSerialOf(const std::string& udid)
{
    if (udid.size() == 25 && udid[8] == '-')
        return udid.substr(0, 8) + udid.substr(9);
    return udid;
}

// The binary (version 0) device record.
std::string binaryDeviceRecord(const AttachedDevice& device)
{
    std::string record(4 + 2 + 256 + 2 + 4, '\0');
    const uint32_t id = htole32(device.deviceId);
    const uint16_t product = htole16(device.productId);
    const uint32_t location = htole32(device.locationId);
    std::memcpy(record.data(), &id, 4);
    std::memcpy(record.data() + 4, &product, 2);
    const std::string serial = usbSerialOf(device.device->udid());
    std::memcpy(record.data() + 6, serial.data(), std::min<size_t>(serial.size(), 255));
    std::memcpy(record.data() + 264, &location, 4);
    return record;
}

// Delivers registry events to a client in Listen mode. The gate keeps events behind the announcement of the
// devices present when the client started listening.
class ListenerSink : public MuxEventSink
{
public:
    explicit ListenerSink(MuxSession& session) : m_session(session) {}

    std::mutex gate;

    void announce(const AttachedDevice& device)
    {
        if (m_session.version() == 1) {
            PlistPtr message = attachedDeviceMessage(device);
            m_session.sendPlist(0, message.get());
        } else {
            m_session.sendPacket(0, Mux::kDeviceAdd, 0, binaryDeviceRecord(device));
        }
    }

    void deviceAttached(const AttachedDevice& device) override
    {
        deliver([&] { announce(device); });
    }
    void deviceDetached(uint32_t deviceId) override
    {
        deliver([&] { sendIdEvent("Detached", Mux::kDeviceRemove, deviceId); });
    }
    void devicePaired(uint32_t deviceId) override
    {
        deliver([&] { sendIdEvent("Paired", Mux::kDevicePaired, deviceId); });
    }

    // After close() no event touches the session any more.
    void close()
    {
        std::lock_guard lock(gate);
        m_closed = true;
    }

private:
    template <typename Send>
    void deliver(Send&& send)
    {
        std::lock_guard lock(gate);
        if (m_closed)
            return;
        try {
            send();
        } catch (const SimError&) {
            // The listener went away; its own thread notices and unregisters.
        }
    }

    void sendIdEvent(const char* type, uint32_t binaryMessage, uint32_t deviceId)
    {
        if (m_session.version() == 1) {
            PlistPtr message = newDict();
            dictSetString(message.get(), "MessageType", type);
            dictSetUInt(message.get(), "DeviceID", deviceId);
            m_session.sendPlist(0, message.get());
        } else {
            const uint32_t id = htole32(deviceId);
            m_session.sendPacket(0, binaryMessage, 0, std::string(reinterpret_cast<const char*>(&id), 4));
        }
    }

    MuxSession& m_session;
    bool m_closed = false;
};

} // namespace

PlistPtr attachedDeviceMessage(const AttachedDevice& device)
{
    PlistPtr message = newDict();
    dictSetString(message.get(), "MessageType", "Attached");
    dictSetUInt(message.get(), "DeviceID", device.deviceId);
    PlistPtr properties = newDict();
    dictSetUInt(properties.get(), "ConnectionSpeed", 480000000);
    dictSetString(properties.get(), "ConnectionType", "USB");
    dictSetUInt(properties.get(), "DeviceID", device.deviceId);
    dictSetUInt(properties.get(), "LocationID", device.locationId);
    dictSetUInt(properties.get(), "ProductID", device.productId);
    dictSetString(properties.get(), "SerialNumber", usbSerialOf(device.device->udid()));
    dictSetNode(message.get(), "Properties", std::move(properties));
    return message;
}

MuxSession::MuxSession(SimStream& stream, DeviceRegistry& registry, HostPairStore& pairStore,
                       const ServiceOptions& options)
    : m_stream(stream), m_registry(registry), m_pairStore(pairStore), m_options(options)
{
}

void MuxSession::sendPacket(uint32_t version, uint32_t message, uint32_t tag, const std::string& payload)
{
    MuxHeader header = {htole32(uint32_t(sizeof(MuxHeader) + payload.size())), htole32(version),
                        htole32(message), htole32(tag)};
    std::string packet(reinterpret_cast<const char*>(&header), sizeof header);
    packet += payload;
    std::lock_guard lock(m_writeMutex);
    m_stream.writeAll(packet);
}

void MuxSession::sendPlist(uint32_t tag, plist_t message)
{
    sendPacket(1, Mux::kPlist, tag, plistToBytes(message, PlistFormat::Xml));
}

void MuxSession::sendResult(uint32_t tag, uint32_t result)
{
    if (m_version == 1) {
        PlistPtr message = newDict();
        dictSetString(message.get(), "MessageType", "Result");
        dictSetUInt(message.get(), "Number", result);
        sendPlist(tag, message.get());
    } else {
        const uint32_t value = htole32(result);
        sendPacket(0, Mux::kResult, tag, std::string(reinterpret_cast<const char*>(&value), 4));
    }
}

void MuxSession::run()
{
    for (;;) {
        MuxHeader header = {};
        m_stream.readExact(&header, sizeof header);
        const uint32_t length = le32toh(header.length);
        const uint32_t version = le32toh(header.version);
        const uint32_t message = le32toh(header.message);
        const uint32_t tag = le32toh(header.tag);
        if (length < sizeof header || length > Mux::kMaxPacket)
            throw SimError("usbmuxd packet of " + std::to_string(length) + " bytes refused");
        std::string payload(length - sizeof header, '\0');
        m_stream.readExact(payload.data(), payload.size());
        if (version != 0 && version != 1) {
            sendResult(tag, Mux::kBadVersion);
            continue;
        }
        m_version = version;
        if (message == Mux::kPlist) {
            m_version = 1;
            PlistPtr request = plistFromBytes(payload);
            if (!request || plist_get_node_type(request.get()) != PLIST_DICT)
                throw SimError("usbmuxd request is not a property-list dictionary");
            if (!handlePlist(tag, request.get()))
                return;
        } else if (message == Mux::kListen) {
            listen(tag);
            return;
        } else if (message == Mux::kConnect && payload.size() >= 8) {
            uint32_t deviceId = 0;
            uint16_t port = 0;
            std::memcpy(&deviceId, payload.data(), 4);
            std::memcpy(&port, payload.data() + 4, 2);
            connect(tag, le32toh(deviceId), ntohs(port));
            return;
        } else {
            sendResult(tag, Mux::kBadCommand);
        }
    }
}

bool MuxSession::handlePlist(uint32_t tag, plist_t message)
{
    const std::string type = dictString(message, "MessageType").value_or("");
    logDebug("usbmuxd " + type);
    if (type == "Listen") {
        listen(tag);
        return false;
    }
    if (type == "Connect") {
        const auto deviceId = dictUInt(message, "DeviceID");
        const auto port = dictUInt(message, "PortNumber");
        if (!deviceId) {
            sendResult(tag, Mux::kBadDevice);
            return true;
        }
        if (!port) {
            sendResult(tag, Mux::kBadCommand);
            return true;
        }
        // libusbmuxd sends the port in network byte order inside the integer.
        connect(tag, uint32_t(*deviceId), ntohs(uint16_t(*port)));
        return false;
    }
    if (type == "ListDevices") {
        PlistPtr reply = newDict();
        PlistPtr list = newArray();
        for (const AttachedDevice& device : m_registry.list())
            plist_array_append_item(list.get(), attachedDeviceMessage(device).release());
        dictSetNode(reply.get(), "DeviceList", std::move(list));
        sendPlist(tag, reply.get());
    } else if (type == "ListListeners") {
        PlistPtr reply = newDict();
        dictSetNode(reply.get(), "ListenerList", newArray());
        sendPlist(tag, reply.get());
    } else if (type == "ReadBUID") {
        PlistPtr reply = newDict();
        dictSetString(reply.get(), "BUID", m_pairStore.systemBuid());
        sendPlist(tag, reply.get());
    } else if (type == "ReadPairRecord") {
        const auto id = dictString(message, "PairRecordID");
        const auto record = id ? m_pairStore.read(*id) : std::nullopt;
        if (!id) {
            sendResult(tag, Mux::kInvalid);
        } else if (!record) {
            sendResult(tag, Mux::kNoEntry);
        } else {
            PlistPtr reply = newDict();
            dictSetData(reply.get(), "PairRecordData", *record);
            sendPlist(tag, reply.get());
        }
    } else if (type == "SavePairRecord") {
        savePairRecord(tag, message);
    } else if (type == "DeletePairRecord") {
        const auto id = dictString(message, "PairRecordID");
        if (!id)
            sendResult(tag, Mux::kInvalid);
        else
            sendResult(tag, m_pairStore.remove(*id) ? Mux::kOk : Mux::kNoEntry);
    } else {
        sendResult(tag, Mux::kBadCommand);
    }
    return true;
}

void MuxSession::savePairRecord(uint32_t tag, plist_t message)
{
    const auto id = dictString(message, "PairRecordID");
    const auto data = dictData(message, "PairRecordData");
    if (!id || !data || data->empty() || !m_pairStore.save(*id, *data)) {
        sendResult(tag, Mux::kInvalid);
        return;
    }
    logInfo("usbmuxd saved the pair record of " + *id);
    sendResult(tag, Mux::kOk);
    if (const auto deviceId = dictUInt(message, "DeviceID")) {
        const auto device = m_registry.byId(uint32_t(*deviceId));
        if (device && usbSerialOf(device->device->udid()) == usbSerialOf(*id))
            m_registry.notifyPaired(device->deviceId);
    }
}

void MuxSession::listen(uint32_t tag)
{
    auto sink = std::make_shared<ListenerSink>(*this);
    // The sink refers to this session: it must leave the registry whatever way the session ends.
    struct Unregister
    {
        DeviceRegistry& registry;
        ListenerSink* sink;
        ~Unregister()
        {
            registry.removeSink(sink);
            sink->close();
        }
    } unregister{m_registry, sink.get()};
    sendResult(tag, Mux::kOk);
    {
        // Events wait until the devices present now are announced.
        std::lock_guard lock(sink->gate);
        for (const AttachedDevice& device : m_registry.addSink(sink))
            sink->announce(device);
    }
    // A listening client sends nothing more; the connection ends when it closes.
    char scratch[256];
    for (;;)
        m_stream.readSome(scratch, sizeof scratch);
}

void MuxSession::connect(uint32_t tag, uint32_t deviceId, uint16_t port)
{
    const auto attached = m_registry.byId(deviceId);
    if (!attached) {
        sendResult(tag, Mux::kBadDevice);
        return;
    }
    std::string service;
    if (port == LockdownService::kPort) {
        service = kLockdownServiceName;
    } else if (auto started = attached->device->takeServicePort(port)) {
        service = *started;
    } else {
        sendResult(tag, Mux::kConnectionRefused);
        return;
    }
    sendResult(tag, Mux::kOk);
    std::shared_ptr<SimDevice> device = attached->device;
    device->registerConnection(&m_stream);
    struct Unregister
    {
        SimDevice& device;
        SimStream* stream;
        ~Unregister() { device.unregisterConnection(stream); }
    } unregister{*device, &m_stream};
    // Detached between lookup and registration: the device is gone.
    if (!m_registry.byId(deviceId))
        throw ConnectionClosed("device detached");
    serveDeviceConnection(device, service, m_stream, m_options);
}

} // namespace iphonesim
