#pragma once

#include <cstdint>
#include <string>

namespace iphonesim {

class BackupCodec;
class SimDevice;

// Status.plist as the device writes it: "new" while a backup runs, "finished" once it is complete.
std::string makeStatusPlist(const std::string& snapshotState, bool fullBackup, const std::string& uuid,
                            int64_t unixTime);
// Manifest.plist: the device's lockdown identity, its user apps, dates and the codec's encryption
// properties, as a binary property list.
std::string makeManifestPlist(const SimDevice& device, BackupCodec& codec, int64_t unixTime);

} // namespace iphonesim
