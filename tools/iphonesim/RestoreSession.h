#pragma once

#include "Plist.h"

#include <cstdint>
#include <memory>
#include <string>

namespace iphonesim {

class BackupCodec;
class DeviceLink;
class HostTransfer;
class SimDevice;
class SqliteDb;
struct ServiceOptions;

// What a restore request asks for.
struct RestoreOptions
{
    bool restoreSystemFiles = false; // without it only the app domains are restored
    bool preserveSettings = true; // keeps the device's SystemPreferencesDomain and ManagedPreferencesDomain
    bool shouldReboot = true;     // the device reboots afterwards (it is detached and attached again)
    bool removeItemsNotRestored = false; // files of restored domains that the backup lacks are deleted
    std::string password;                // of an encrypted backup

    static RestoreOptions fromRequest(plist_t options);
    // Whether files of this domain are restored.
    bool restoresDomain(const std::string& domain) const;
};

// The device's side of a mobilebackup2 "Restore": it reads the host's Status.plist, Manifest.plist and
// Manifest.db (unlocking an encrypted backup with the password the host sent), downloads the files the
// manifest names for the chosen domains into its scratch space, decrypting them on the way, and only when
// all of them arrived applies them to the device's files: folders, files, then symbolic links. Errors end
// with the device's error response and leave the device's files as they were.
class RestoreSession
{
public:
    RestoreSession(SimDevice& device, DeviceLink& link, const ServiceOptions& options);
    ~RestoreSession();
    void run(plist_t request);

private:
    void fail(uint64_t code, const std::string& description);
    bool checkRefusals();
    // Reads the backup's manifest into the work table Items; false after answering with an error. On iOS 16
    // and later a domain the device does not know (an app missing from the manifest's Applications, a name
    // with a slash) fails the restore.
    bool planItems(const RestoreOptions& options, plist_t manifest, uint64_t& totalBytes);
    // Whether the backup holds app data but hardly any of the device's system files (a manifest reduced
    // to some apps): fewer than half of them.
    bool isSparseWithAppData() const;
    // Downloads every file of Items into the staging folder; false after answering with an error.
    bool stageFiles(HostTransfer& transfer, const std::string& hostFolder, uint64_t totalBytes,
                    uint64_t freeSpace);
    void removeItemsNotInBackup();
    void applyItems();

    SimDevice& m_device;
    DeviceLink& m_link;
    const ServiceOptions& m_options;
    std::string m_work;
    std::unique_ptr<BackupCodec> m_codec;
    std::unique_ptr<SqliteDb> m_plan;
    uint64_t m_systemFiles = 0; // file rows outside the app domains
    bool m_hasAppData = false;  // some row of an app domain
};

} // namespace iphonesim
