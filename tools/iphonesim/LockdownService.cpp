#include "LockdownService.h"

#include "DeviceKeys.h"
#include "PlistChannel.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"
#include "TlsContext.h"

#include <set>

namespace iphonesim {

namespace {

// Root values a client may read before it has a session, as lockdownd allows.
const std::set<std::string>& valuesWithoutSession()
{
    static const std::set<std::string> keys = {
        "ActivationState",   "BluetoothAddress",    "BuildVersion",    "DeviceClass",    "DeviceColor",
        "DeviceName",        "DevicePublicKey",     "FirmwareVersion", "HardwareModel",  "HostAttached",
        "PasswordProtected", "ProductName",         "ProductType",     "ProductVersion", "ProtocolVersion",
        "TimeZone",          "TrustedHostAttached", "UniqueDeviceID",  "WiFiAddress",
    };
    return keys;
}

const std::set<std::string>& startableServices()
{
    static const std::set<std::string> services = {
        "com.apple.mobile.installation_proxy",
        "com.apple.mobile.notification_proxy",
        "com.apple.mobile.insecure_notification_proxy",
        "com.apple.afc",
        "com.apple.mobilebackup2",
    };
    return services;
}

struct PairRecord
{
    std::string hostId;
    std::string systemBuid;
    std::string hostCertificate;
    std::string rootCertificate;
    std::string deviceCertificate;
};

std::optional<PairRecord> readPairRecord(plist_t request)
{
    plist_t record = dictItem(request, "PairRecord", PLIST_DICT);
    if (!record)
        return std::nullopt;
    PairRecord pair;
    pair.hostId = dictString(record, "HostID").value_or("");
    pair.systemBuid = dictString(record, "SystemBUID").value_or("");
    pair.hostCertificate = dictData(record, "HostCertificate").value_or("");
    pair.rootCertificate = dictData(record, "RootCertificate").value_or("");
    pair.deviceCertificate = dictData(record, "DeviceCertificate").value_or("");
    return pair;
}

} // namespace

LockdownService::LockdownService(SimDevice& device, PlistChannel& channel)
    : m_device(device), m_channel(channel)
{
}

void LockdownService::run()
{
    for (;;) {
        PlistPtr request = m_channel.receive();
        if (!handle(request.get()))
            return;
    }
}

PlistPtr LockdownService::answer(const std::string& request) const
{
    PlistPtr response = newDict();
    dictSetString(response.get(), "Request", request);
    return response;
}

PlistPtr LockdownService::error(const std::string& request, const char* error) const
{
    PlistPtr response = answer(request);
    dictSetString(response.get(), "Error", error);
    return response;
}

void LockdownService::send(plist_t message)
{
    m_channel.send(message, PlistFormat::Xml);
}

bool LockdownService::handle(plist_t request)
{
    const auto name = dictString(request, "Request");
    if (!name)
        throw SimError("lockdown message without Request");
    logDebug(m_device.udid() + " lockdown " + *name);
    if (*name == "QueryType") {
        PlistPtr response = answer(*name);
        dictSetString(response.get(), "Type", "com.apple.mobile.lockdown");
        send(response.get());
    } else if (*name == "GetValue") {
        send(getValue(request).get());
    } else if (*name == "SetValue") {
        send(setValue(request).get());
    } else if (*name == "RemoveValue") {
        send(error(*name, "RemoveProhibited").get());
    } else if (*name == "Pair") {
        send(pair(request).get());
    } else if (*name == "ValidatePair") {
        send(validatePair(request).get());
    } else if (*name == "Unpair") {
        send(unpair(request).get());
    } else if (*name == "StartSession") {
        return startSession(request);
    } else if (*name == "StopSession") {
        return stopSession(request);
    } else if (*name == "StartService") {
        send(startService(request).get());
    } else if (*name == "Goodbye") {
        send(answer(*name).get());
        return false;
    } else {
        send(error(*name, "InvalidRequest").get());
    }
    return true;
}

PlistPtr LockdownService::getValue(plist_t request)
{
    const auto domain = dictString(request, "Domain");
    const auto key = dictString(request, "Key");
    const bool session = !m_sessionId.empty();
    auto reply = [&](const char* errorName, plist_t value) {
        PlistPtr response = errorName ? error("GetValue", errorName) : answer("GetValue");
        if (domain)
            dictSetString(response.get(), "Domain", *domain);
        if (key)
            dictSetString(response.get(), "Key", *key);
        if (value)
            plist_dict_set_item(response.get(), "Value", plist_copy(value));
        return response;
    };
    PlistPtr values;
    if (domain) {
        if (!session)
            return reply("GetProhibited", nullptr);
        values = m_device.domainValues(*domain);
        if (!values)
            return reply("MissingValue", nullptr);
    } else {
        values = m_device.lockdownValues();
        if (!session) {
            PlistPtr allowed = newDict();
            for (const auto& [name, value] : dictItems(values.get())) {
                if (valuesWithoutSession().count(name))
                    plist_dict_set_item(allowed.get(), name.c_str(), plist_copy(value));
            }
            values = std::move(allowed);
        }
    }
    if (!key)
        return reply(nullptr, values.get());
    plist_t value = plist_dict_get_item(values.get(), key->c_str());
    if (!value) {
        // A value that exists but needs a session is prohibited, not missing.
        const bool prohibited =
            !domain && !session && plist_dict_get_item(m_device.lockdownValues().get(), key->c_str());
        return reply(prohibited ? "GetProhibited" : "MissingValue", nullptr);
    }
    return reply(nullptr, value);
}

PlistPtr LockdownService::setValue(plist_t request)
{
    if (m_sessionId.empty())
        return error("SetValue", "SessionInactive");
    const auto domain = dictString(request, "Domain");
    const auto key = dictString(request, "Key");
    plist_t value = plist_dict_get_item(request, "Value");
    if (!key || !value)
        return error("SetValue", "MissingValue");
    // The device name is the one root value clients change (idevicename, iTunes).
    if (!domain && *key == "DeviceName" && plist_get_node_type(value) == PLIST_STRING) {
        m_device.setLockdownValue(*key, PlistPtr(plist_copy(value)));
        return answer("SetValue");
    }
    return error("SetValue", "SetProhibited");
}

PlistPtr LockdownService::pair(plist_t request)
{
    const TrustMode trust = m_device.settings().trust;
    if (trust == TrustMode::Locked)
        return error("Pair", "PasswordProtected");
    if (trust == TrustMode::Dialog)
        return error("Pair", "PairingDialogResponsePending");
    if (trust == TrustMode::Denied) {
        // The dialog shows again the next time the computer asks.
        m_device.updateSettings([](DeviceSettings& settings) { settings.trust = TrustMode::Dialog; });
        return error("Pair", "UserDeniedPairing");
    }
    const auto record = readPairRecord(request);
    if (!record || !DevicePairings::isValidHostId(record->hostId))
        return error("Pair", "InvalidPairRecord");
    X509Ptr deviceCertificate = certificateFromPem(record->deviceCertificate);
    if (!deviceCertificate || !certificateFromPem(record->hostCertificate) ||
        !certificateFromPem(record->rootCertificate) ||
        !certificateMatchesKey(deviceCertificate.get(), m_device.keys().key()))
        return error("Pair", "InvalidPairRecord");
    DevicePairing pairing;
    pairing.hostId = record->hostId;
    pairing.systemBuid = record->systemBuid;
    pairing.hostCertificatePem = record->hostCertificate;
    pairing.rootCertificatePem = record->rootCertificate;
    pairing.deviceCertificatePem = record->deviceCertificate;
    pairing.escrowBag = randomBytes(48);
    m_device.withPairings([&](DevicePairings& pairings) { pairings.store(pairing); });
    logInfo(m_device.udid() + " paired with host " + pairing.hostId);
    PlistPtr response = answer("Pair");
    dictSetData(response.get(), "EscrowBag", pairing.escrowBag);
    return response;
}

PlistPtr LockdownService::validatePair(plist_t request)
{
    const auto record = readPairRecord(request);
    if (!record)
        return error("ValidatePair", "InvalidPairRecord");
    const auto known =
        m_device.withPairings([&](DevicePairings& pairings) { return pairings.find(record->hostId); });
    if (!known)
        return error("ValidatePair", "InvalidHostID");
    return answer("ValidatePair");
}

PlistPtr LockdownService::unpair(plist_t request)
{
    const auto record = readPairRecord(request);
    if (!record)
        return error("Unpair", "InvalidPairRecord");
    const bool removed =
        m_device.withPairings([&](DevicePairings& pairings) { return pairings.remove(record->hostId); });
    if (!removed)
        return error("Unpair", "InvalidHostID");
    logInfo(m_device.udid() + " unpaired host " + record->hostId);
    return answer("Unpair");
}

bool LockdownService::startSession(plist_t request)
{
    if (!m_sessionId.empty()) {
        send(error("StartSession", "SessionActive").get());
        return true;
    }
    const auto hostId = dictString(request, "HostID");
    if (!hostId) {
        send(error("StartSession", "MissingHostID").get());
        return true;
    }
    const auto pairing =
        m_device.withPairings([&](DevicePairings& pairings) { return pairings.find(*hostId); });
    if (!pairing) {
        send(error("StartSession", "InvalidHostID").get());
        return true;
    }
    SslCtxPtr context;
    try {
        context = makeLockdownTlsContext(pairing->deviceCertificatePem, m_device.keys().key());
    } catch (const SimError& failure) {
        logError(m_device.udid() + ": " + failure.what());
        send(error("StartSession", "InvalidPairRecord").get());
        return true;
    }
    const std::string sessionId = randomUuid();
    PlistPtr response = answer("StartSession");
    dictSetString(response.get(), "SessionID", sessionId);
    dictSetBool(response.get(), "EnableSessionSSL", true);
    send(response.get());
    m_channel.stream().startTls(context.get());
    // The client authenticates with a certificate of this pairing.
    X509Ptr client = m_channel.stream().peerCertificate();
    X509Ptr root = certificateFromPem(pairing->rootCertificatePem);
    X509Ptr host = certificateFromPem(pairing->hostCertificatePem);
    if (!client || !(sameCertificate(client.get(), root.get()) || sameCertificate(client.get(), host.get())))
        throw SimError("the client's certificate does not belong to host " + *hostId);
    m_sessionId = sessionId;
    m_sessionHostId = *hostId;
    return true;
}

bool LockdownService::stopSession(plist_t request)
{
    const auto sessionId = dictString(request, "SessionID");
    if (m_sessionId.empty() || !sessionId || *sessionId != m_sessionId) {
        send(error("StopSession", m_sessionId.empty() ? "SessionInactive" : "InvalidSessionID").get());
        return true;
    }
    send(answer("StopSession").get());
    m_sessionId.clear();
    m_sessionHostId.clear();
    // The client shuts TLS down and goes on (or closes) in plain text.
    m_channel.stream().finishTlsAfterPeerShutdown();
    return true;
}

PlistPtr LockdownService::startService(plist_t request)
{
    const auto service = dictString(request, "Service");
    if (!service)
        return error("StartService", "MissingService");
    if (m_sessionId.empty())
        return error("StartService", "SessionInactive");
    if (!startableServices().count(*service))
        return error("StartService", "InvalidService");
    if (const auto escrowBag = dictData(request, "EscrowBag")) {
        const auto pairing =
            m_device.withPairings([&](DevicePairings& pairings) { return pairings.find(m_sessionHostId); });
        if (!pairing || pairing->escrowBag != *escrowBag)
            return error("StartService", "EscrowLocked");
    }
    const uint16_t port = m_device.openServicePort(*service);
    logDebug(m_device.udid() + " started " + *service + " on port " + std::to_string(port));
    PlistPtr response = answer("StartService");
    dictSetString(response.get(), "Service", *service);
    dictSetUInt(response.get(), "Port", port);
    return response;
}

} // namespace iphonesim
