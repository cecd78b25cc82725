#pragma once

#include "Plist.h"

#include <string>

namespace iphonesim {

class DeviceLink;
class SimDevice;
struct ServiceOptions;

// mobilebackup2 "Info" and "List" about a backup on the host. Devices read the backup for these themselves:
// Info reads its Status.plist and Manifest.plist and describes it in the answer's "Content" (an encrypted
// backup needs its password, which idevicebackup2 does not send: MBErrorDomain/207); List asks for the old
// Manifest.mbdb, which backups since iOS 10 do not have, and fails with MBErrorDomain/205 as those devices
// do.
class BackupQuery
{
public:
    BackupQuery(SimDevice& device, DeviceLink& link, const ServiceOptions& options);
    void info(plist_t request);
    void list(plist_t request);

private:
    // The backup folder the request names; empty after answering with an error.
    std::string sourceOf(plist_t request);

    SimDevice& m_device;
    DeviceLink& m_link;
    const ServiceOptions& m_options;
};

} // namespace iphonesim
