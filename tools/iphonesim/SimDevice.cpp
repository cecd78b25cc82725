#include "SimDevice.h"

#include "SimError.h"
#include "SimStream.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockdown = "Lockdown";
constexpr const char* kDomains = "Domains";

// Mount points of the system backup domains on the device.
const std::map<std::string, std::string>& systemDomainRoots()
{
    static const std::map<std::string, std::string> roots = {
        {"HomeDomain", "/var/mobile"},
        {"MediaDomain", "/var/mobile"},
        {"CameraRollDomain", "/var/mobile"},
        {"RootDomain", "/var/root"},
        {"SystemPreferencesDomain", "/var/preferences"},
        {"KeychainDomain", "/var/Keychains"},
        {"WirelessDomain", "/var/wireless"},
        {"ManagedPreferencesDomain", "/var/Managed Preferences"},
        {"DatabaseDomain", "/var/db"},
        {"HealthDomain", "/var/mobile/Library/Health"},
        {"InstallDomain", "/var/installd"},
        {"KeyboardDomain", "/var/mobile"},
        {"TonesDomain", "/var/mobile"},
    };
    return roots;
}

void mergeDict(plist_t target, plist_t source)
{
    for (const auto& [key, value] : dictItems(source))
        plist_dict_set_item(target, key.c_str(), plist_copy(value));
}

} // namespace

bool isValidUdid(const std::string& udid)
{
    if (udid.size() < 24 || udid.size() > 40)
        return false;
    for (char c : udid) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '-'))
            return false;
    }
    return true;
}

bool isValidDomainName(const std::string& domain)
{
    return !domain.empty() && domain.size() <= 255 && domain.find('/') == std::string::npos &&
           domain.find('\0') == std::string::npos && domain[0] != '.';
}

std::shared_ptr<SimDevice> SimDevice::open(const std::string& folder)
{
    std::shared_ptr<SimDevice> device(new SimDevice());
    std::error_code error;
    device->m_folder = fs::absolute(folder, error).lexically_normal().string();
    while (device->m_folder.size() > 1 && device->m_folder.back() == '/')
        device->m_folder.pop_back();
    const std::string identityPath = device->m_folder + "/" + DeviceFolder::kDevicePlist;
    PlistPtr identity = plistFromFile(identityPath, 4u << 20);
    plist_t lockdown = dictItem(identity.get(), kLockdown, PLIST_DICT);
    if (!lockdown)
        throw SimError(identityPath + " is missing or has no Lockdown dictionary");
    device->m_udid = dictString(lockdown, "UniqueDeviceID").value_or("");
    if (!isValidUdid(device->m_udid))
        throw SimError(identityPath + ": UniqueDeviceID is missing or not a device identifier");
    device->m_lockdown.reset(plist_copy(lockdown));
    if (plist_t domains = dictItem(identity.get(), kDomains, PLIST_DICT))
        device->m_domainOverrides.reset(plist_copy(domains));
    else
        device->m_domainOverrides = newDict();
    device->m_settings = DeviceSettings::load(device->m_folder + "/" + DeviceFolder::kSettingsPlist);
    device->m_apps = AppCatalog::load(device->m_folder + "/" + DeviceFolder::kAppsPlist);
    device->m_keys = DeviceKeys::loadOrCreate(device->m_folder + "/" + DeviceFolder::kKeyFile);
    device->m_backupKeys =
        std::make_unique<DeviceBackupKeys>(device->m_folder + "/" + DeviceFolder::kBackupKeys);
    device->m_pairings = std::make_unique<DevicePairings>(device->m_folder + "/" + DeviceFolder::kPairings);
    fs::create_directories(device->filesRoot(), error);
    fs::create_directories(device->afcRoot(), error);
    fs::create_directories(device->scratchRoot(), error);
    return device;
}

std::pair<int, int> parseVersion(const std::string& version)
{
    int parts[2] = {0, 0};
    size_t position = 0;
    for (int& part : parts) {
        size_t end = position;
        while (end < version.size() && end - position < 6 &&
               std::isdigit(static_cast<unsigned char>(version[end])))
            ++end;
        if (end == position)
            break;
        part = std::stoi(version.substr(position, end - position));
        if (end >= version.size() || version[end] != '.')
            break;
        position = end + 1;
    }
    return {parts[0], parts[1]};
}

bool SimDevice::versionAtLeast(int major, int minor) const
{
    const auto [have, haveMinor] = parseVersion(lockdownString("ProductVersion"));
    return have != major ? have > major : haveMinor >= minor;
}

void SimDevice::enterPasscode()
{
    {
        std::lock_guard lock(m_passcodeMutex);
        m_passcodePending = true;
    }
    m_passcodeEntered.notify_all();
}

bool SimDevice::waitForPasscode(std::chrono::milliseconds timeout, const std::function<bool()>& giveUp)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(m_passcodeMutex);
    for (;;) {
        if (m_passcodePending) {
            m_passcodePending = false;
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || (giveUp && giveUp()))
            return false;
        m_passcodeEntered.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                             deadline - now, std::chrono::milliseconds(100)));
    }
}

std::string SimDevice::domainFolder(const std::string& domain) const
{
    if (!isValidDomainName(domain))
        return {};
    return filesRoot() + "/" + domain;
}

std::string SimDevice::devicePathOf(const std::string& domain, const std::string& relativePath) const
{
    std::string root;
    const auto system = systemDomainRoots().find(domain);
    std::string groupUuid;
    if (system != systemDomainRoots().end()) {
        root = system->second;
    } else if (const AppRecord* app = m_apps.ownerOfDomain(domain, &groupUuid)) {
        // Backups name container files under /var, not /private/var.
        if (!groupUuid.empty())
            root = "/var/mobile/Containers/Shared/AppGroup/" + groupUuid;
        else
            root = "/var/mobile/Containers/Data/Application/" + app->containerUuid;
    } else {
        root = "/var/mobile/Library/" + domain;
    }
    return relativePath.empty() ? root : root + "/" + relativePath;
}

PlistPtr SimDevice::lockdownValues() const
{
    PlistPtr values;
    DeviceSettings settings;
    {
        std::lock_guard lock(m_mutex);
        values.reset(plist_copy(m_lockdown.get()));
        settings = m_settings;
    }
    dictSetData(values.get(), "DevicePublicKey", m_keys.publicKeyPem());
    dictSetBool(values.get(), "PasswordProtected", settings.passcodeSet);
    dictSetBool(values.get(), "HostAttached", true);
    if (!dictString(values.get(), "ActivationState"))
        dictSetString(values.get(), "ActivationState", "Activated");
    if (!dictString(values.get(), "ProductName"))
        dictSetString(values.get(), "ProductName", "iPhone OS");
    if (!dictString(values.get(), "DeviceClass"))
        dictSetString(values.get(), "DeviceClass", "iPhone");
    return values;
}

std::string SimDevice::lockdownString(const char* key) const
{
    std::lock_guard lock(m_mutex);
    return dictString(m_lockdown.get(), key).value_or("");
}

PlistPtr SimDevice::domainValues(const std::string& domain) const
{
    const DeviceSettings current = settings();
    PlistPtr values = newDict();
    plist_t dict = values.get();
    bool known = true;
    if (domain == "com.apple.mobile.backup") {
        dictSetBool(dict, "CloudBackupEnabled", current.cloudBackupEnabled);
        dictSetBool(dict, "WillEncrypt", current.willEncrypt);
        dictSetBool(dict, "RequiresEncrypt", false);
    } else if (domain == "com.apple.disk_usage" || domain == "com.apple.disk_usage.factory") {
        dictSetUInt(dict, "TotalDiskCapacity", current.totalCapacity);
        dictSetUInt(dict, "TotalDataCapacity", current.totalCapacity - (8ull << 30));
        dictSetUInt(dict, "TotalDataAvailable", current.freeSpace);
        dictSetUInt(dict, "AmountDataAvailable", current.freeSpace);
        dictSetUInt(dict, "AmountDataReserved", 200ull << 20);
    } else if (domain == "com.apple.mobile.battery") {
        dictSetUInt(dict, "BatteryCurrentCapacity", 100);
        dictSetBool(dict, "BatteryIsCharging", false);
        dictSetBool(dict, "ExternalChargeCapable", true);
        dictSetBool(dict, "ExternalConnected", true);
        dictSetBool(dict, "FullyCharged", true);
    } else if (domain == "com.apple.mobile.iTunes") {
        dictSetString(dict, "MinITunesVersion", "12.5.1");
        dictSetString(dict, "MinMacOSVersion", "10.11.0");
    } else if (domain == "com.apple.PurpleBuddy") {
        dictSetBool(dict, "SetupDone", true);
        dictSetBool(dict, "SetupFinishedAllSteps", true);
    } else if (domain == "com.apple.iTunes" || domain == "com.apple.mobile.lockdown_cache" ||
               domain == "com.apple.international" || domain == "com.apple.mobile.data_sync") {
        if (domain == "com.apple.international") {
            dictSetString(dict, "Locale", "ja_JP");
            dictSetString(dict, "Language", "ja");
        }
    } else {
        known = false;
    }
    std::lock_guard lock(m_mutex);
    if (plist_t overrides = dictItem(m_domainOverrides.get(), domain.c_str(), PLIST_DICT)) {
        mergeDict(dict, overrides);
        known = true;
    }
    return known ? std::move(values) : nullptr;
}

void SimDevice::setLockdownValue(const std::string& key, PlistPtr value)
{
    std::lock_guard lock(m_mutex);
    plist_dict_set_item(m_lockdown.get(), key.c_str(), static_cast<plist_t>(value.release()));
    saveIdentity();
}

void SimDevice::saveIdentity() const
{
    PlistPtr identity = newDict();
    plist_dict_set_item(identity.get(), kLockdown, plist_copy(m_lockdown.get()));
    plist_dict_set_item(identity.get(), kDomains, plist_copy(m_domainOverrides.get()));
    plistToFile(identity.get(), m_folder + "/" + DeviceFolder::kDevicePlist, PlistFormat::Xml);
}

DeviceSettings SimDevice::settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

void SimDevice::updateSettings(const std::function<void(DeviceSettings&)>& change)
{
    std::lock_guard lock(m_mutex);
    DeviceSettings updated = m_settings;
    change(updated);
    updated.save(m_folder + "/" + DeviceFolder::kSettingsPlist);
    m_settings = updated;
}

uint16_t SimDevice::openServicePort(const std::string& service)
{
    std::lock_guard lock(m_mutex);
    for (int attempt = 0; attempt < 16384; ++attempt) {
        const uint16_t port = m_nextPort;
        m_nextPort = m_nextPort >= 65534 ? 49152 : uint16_t(m_nextPort + 1);
        if (!m_servicePorts.count(port)) {
            m_servicePorts[port] = service;
            return port;
        }
    }
    throw SimError("no free service port");
}

std::optional<std::string> SimDevice::takeServicePort(uint16_t port)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_servicePorts.find(port);
    if (found == m_servicePorts.end())
        return std::nullopt;
    std::string service = found->second;
    m_servicePorts.erase(found);
    return service;
}

void SimDevice::registerConnection(SimStream* stream)
{
    std::lock_guard lock(m_mutex);
    m_connections.insert(stream);
}

void SimDevice::unregisterConnection(SimStream* stream)
{
    std::lock_guard lock(m_mutex);
    m_connections.erase(stream);
}

void SimDevice::abortConnections()
{
    std::lock_guard lock(m_mutex);
    for (SimStream* stream : m_connections)
        stream->abort();
    m_servicePorts.clear();
}

} // namespace iphonesim
