#pragma once

#include "Plist.h"

#include <cstdint>
#include <string>

namespace iphonesim {

class DeviceLink;
class SimDevice;
struct ServiceOptions;

// What a restore request asks for.
struct RestoreOptions
{
    bool restoreSystemFiles = false; // without it only the app domains are restored
    bool preserveSettings = true; // keeps the device's SystemPreferencesDomain and ManagedPreferencesDomain
    bool shouldReboot = true;     // the device reboots afterwards (it is detached and attached again)
    bool removeItemsNotRestored = false; // files of restored domains that the backup lacks are deleted
    std::string password;

    static RestoreOptions fromRequest(plist_t options);
    // Whether files of this domain are restored.
    bool restoresDomain(const std::string& domain) const;
};

// The device's side of a mobilebackup2 "Restore": it reads the host's Status.plist, Manifest.plist and
// Manifest.db, downloads the files the manifest names for the chosen domains into its scratch space, and only
// when all of them arrived applies them to the device's files. Errors end with the device's error response
// and leave the device's files as they were.
class RestoreSession
{
public:
    RestoreSession(SimDevice& device, DeviceLink& link, const ServiceOptions& options);
    void run(plist_t request);

private:
    void fail(uint64_t code, const std::string& description);
    bool checkRefusals();

    SimDevice& m_device;
    DeviceLink& m_link;
    const ServiceOptions& m_options;
};

} // namespace iphonesim
