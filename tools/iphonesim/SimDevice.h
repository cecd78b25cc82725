#pragma once

#include "AppCatalog.h"
#include "DeviceBackupKeys.h"
#include "DeviceKeys.h"
#include "DevicePairings.h"
#include "DeviceSettings.h"
#include "FaultPlan.h"
#include "NotificationHub.h"
#include "Plist.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace iphonesim {

class SimStream;

// Names of the parts of a device folder.
namespace DeviceFolder {
constexpr const char* kDevicePlist = "device.plist";     // {"Lockdown": {...}, "Domains": {...}}
constexpr const char* kSettingsPlist = "settings.plist"; // DeviceSettings
constexpr const char* kAppsPlist = "apps.plist";         // AppCatalog
constexpr const char* kKeyFile = "device-key.pem";
constexpr const char* kBackupKeys = "backup-keys.plist"; // DeviceBackupKeys
constexpr const char* kPairings = "pairings";
constexpr const char* kFiles = "files";     // files/<backup domain>/<relative path>
constexpr const char* kAfc = "afc";         // the media area the AFC service shows
constexpr const char* kScratch = "scratch"; // the device's temporary space during backups and restores
} // namespace DeviceFolder

// One simulated iPhone: its folder, identity, settings, apps, keys, trusted computers and runtime state
// (service ports, open connections, faults). Shared by the connections to it; thread-safe.
class SimDevice
{
public:
    // Loads a device folder; throws SimError when it has no usable identity.
    static std::shared_ptr<SimDevice> open(const std::string& folder);

    const std::string& udid() const { return m_udid; }
    const std::string& folder() const { return m_folder; }
    std::string filesRoot() const { return m_folder + "/" + DeviceFolder::kFiles; }
    std::string afcRoot() const { return m_folder + "/" + DeviceFolder::kAfc; }
    std::string scratchRoot() const { return m_folder + "/" + DeviceFolder::kScratch; }
    // The folder of a backup domain; empty for a name that cannot be a folder.
    std::string domainFolder(const std::string& domain) const;
    // Where a file of a backup domain lives on the device, as the device names it when it sends the file.
    std::string devicePathOf(const std::string& domain, const std::string& relativePath) const;

    // Root values of lockdownd (identity, DevicePublicKey, state values).
    PlistPtr lockdownValues() const;
    std::string lockdownString(const char* key) const;
    // Values of one lockdownd domain; null for an unknown domain.
    PlistPtr domainValues(const std::string& domain) const;
    // Changes a root value and keeps it in device.plist.
    void setLockdownValue(const std::string& key, PlistPtr value);
    // Whether the device's system (ProductVersion) is major.minor or later; behaviours of newer iPhones
    // follow it.
    bool versionAtLeast(int major, int minor = 0) const;

    // The passcode prompt an encrypted backup shows on iOS 16.1 and later: the control channel enters the
    // passcode (also ahead of the prompt), and the next waiting backup takes it.
    void enterPasscode();
    // True once the passcode was entered (taking it); false after the timeout or when giveUp says so.
    bool waitForPasscode(std::chrono::milliseconds timeout, const std::function<bool()>& giveUp);

    DeviceSettings settings() const;
    void updateSettings(const std::function<void(DeviceSettings&)>& change);

    const AppCatalog& apps() const { return m_apps; }
    const DeviceKeys& keys() const { return m_keys; }
    DeviceBackupKeys& backupKeys() { return *m_backupKeys; }
    FaultPlan& faults() { return m_faults; }
    NotificationHub& notifications() { return m_notifications; }

    // Pairing records; run the function under the device's pairing lock.
    template <typename Function>
    auto withPairings(Function&& function)
    {
        std::lock_guard lock(m_pairingMutex);
        return function(*m_pairings);
    }

    // A service started by lockdownd listens on a port until one client connects to it.
    uint16_t openServicePort(const std::string& service);
    std::optional<std::string> takeServicePort(uint16_t port);

    // Connections to the device are cut when it is detached.
    void registerConnection(SimStream* stream);
    void unregisterConnection(SimStream* stream);
    void abortConnections();

    // One backup or restore at a time.
    bool tryBeginBackupOperation() { return !m_backupBusy.exchange(true); }
    void endBackupOperation() { m_backupBusy = false; }

private:
    SimDevice() = default;
    void saveIdentity() const;

    std::string m_folder;
    std::string m_udid;
    mutable std::mutex m_mutex; // identity, settings, ports, connections
    PlistPtr m_lockdown;
    PlistPtr m_domainOverrides;
    DeviceSettings m_settings;
    AppCatalog m_apps;
    DeviceKeys m_keys;
    std::unique_ptr<DeviceBackupKeys> m_backupKeys;
    std::mutex m_pairingMutex;
    std::unique_ptr<DevicePairings> m_pairings;
    FaultPlan m_faults;
    NotificationHub m_notifications;
    std::map<uint16_t, std::string> m_servicePorts;
    uint16_t m_nextPort = 49152;
    std::set<SimStream*> m_connections;
    std::atomic<bool> m_backupBusy{false};
    std::mutex m_passcodeMutex;
    std::condition_variable m_passcodeEntered;
    bool m_passcodePending = false;
};

// "16.1.2" -> {16, 1}; missing or unreadable parts count as 0.
std::pair<int, int> parseVersion(const std::string& version);

// UDIDs are 40 hexadecimal digits, or 8 + "-" + 16 for newer devices.
bool isValidUdid(const std::string& udid);
// A backup domain name that can be used as a folder name.
bool isValidDomainName(const std::string& domain);

} // namespace iphonesim
