#pragma once

#include "BackupKeybag.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace iphonesim {

struct DeviceSettings;

// The keys of the device's encrypted backups: the class keys it wraps per-file and manifest keys with, and
// the keybag (those class keys wrapped under the backup password) that goes into every Manifest.plist.
struct BackupKeySet
{
    backupcrypto::BackupKeybag keybag;
    std::string keybagBytes;
    std::map<uint32_t, std::string> classKeys; // unwrapped, 32 bytes each
};

// The device keeps its backup keys between backups (as a real device keeps them in its keystore), so that
// incremental backups can read the previous encrypted manifest and keep the keys of unchanged files. They
// live in backup-keys.plist of the device folder. Thread-safe.
class DeviceBackupKeys
{
public:
    // Classes 1 to 11 get a key, as in devices' backup keybags.
    static constexpr uint32_t kLastClass = 11;

    explicit DeviceBackupKeys(std::string path);

    // The keys for backups under the settings' password and iteration counts; new keys are made (and saved)
    // when there are none, or the existing ones were made for another password or other counts. Making keys
    // takes the time of the key derivation. Throws SimError when they cannot be saved.
    std::shared_ptr<const BackupKeySet> current(const DeviceSettings& settings);
    // New class keys and keybag for the settings' password (the backup password was set or changed).
    std::shared_ptr<const BackupKeySet> renew(const DeviceSettings& settings);
    // Encryption was turned off: the keys are dropped.
    void forget();

private:
    void loadLocked();
    std::shared_ptr<const BackupKeySet> makeLocked(const DeviceSettings& settings);

    std::mutex m_mutex;
    std::string m_path;
    bool m_loaded = false;
    std::shared_ptr<const BackupKeySet> m_keys;
    std::string m_password; // the password the keybag was made for
};

} // namespace iphonesim
