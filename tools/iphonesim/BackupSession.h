#pragma once

#include "Plist.h"

#include <cstdint>
#include <string>

namespace iphonesim {

class BackupCodec;
class DeviceLink;
class HostTransfer;
class SimDevice;
struct DeviceSettings;
struct ServiceOptions;

// The device's side of a mobilebackup2 "Backup": it decides between a full and an incremental backup from
// the host's previous Status.plist, Manifest.plist and Manifest.db, checks the host's folders, sends the new
// and changed files into <target>/Snapshot, moves them into place, removes what was deleted and writes
// Status.plist "finished". Errors end with the device's error response.
class BackupSession
{
public:
    BackupSession(SimDevice& device, DeviceLink& link, const ServiceOptions& options);
    void run(plist_t request);

private:
    // False after sending the device's error for an armed fault.
    bool checkFaults();
    // The host's previous Manifest.db when an incremental backup is possible, else empty. Sets
    // m_failed after answering with an error.
    std::string previousManifest(HostTransfer& transfer, const std::string& workFolder, BackupCodec& codec);
    // iOS 16.1 and later: an encrypted backup waits for the passcode on the device. False after answering
    // with 208 when it was not entered in time.
    bool waitForPasscode(const DeviceSettings& settings);
    // The host's free space must exceed what is sent plus a margin; the device asks it to purge once
    // before giving up. False after answering with 105.
    bool checkHostSpace(HostTransfer& transfer, uint64_t uploadBytes);
    // The UnsafePaths fault: requests naming paths outside the backup folder, then the backup fails.
    void probeUnsafePaths(HostTransfer& transfer, const std::string& absoluteFolder);
    void fail(uint64_t code, const std::string& description);
    std::string backupPath(const std::string& relative) const { return m_target + "/" + relative; }

    SimDevice& m_device;
    DeviceLink& m_link;
    const ServiceOptions& m_options;
    std::string m_target;
    bool m_failed = false;
};

} // namespace iphonesim
