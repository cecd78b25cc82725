#pragma once

#include <string>
#include <vector>

namespace iphonesim {

class Simulator;

// The control language, one command per line, one reply line per command ("OK [text]" or "ERR text").
// Words are separated by spaces; "double quotes" keep spaces in a word.
//
//   help                               the list below
//   list                               attached UDIDs, comma-separated
//   attach <device folder>             plugs a device in; replies with its UDID
//   detach <udid>                      unplugs it
//   reboot <udid>                      unplugs it and plugs it in again
//   trust <udid> automatic|dialog|denied|locked
//                                      how the device answers the next Pair request
//   accept <udid>                      the user taps Trust on a pending dialog
//   deny <udid>                        the user taps Don't Trust
//   untrust <udid>                     the device forgets every computer it trusted
//   pairings <udid>                    HostIDs the device trusts, comma-separated
//   set <udid> <setting> <value>       FindMyiPhone, WillEncrypt, BackupPassword, CloudBackupEnabled,
//                                      PasscodeSet, FreeSpace, TotalCapacity, RestorePendingReboot
//   fault <udid> refuse|locked|nospace|error205|purge   arm a failure of backups and restores
//   fault <udid> drop <bytes>          cut the backup connection after this much file data
//   fault <udid> error <code> <text>   answer backup and restore requests with this error
//   fault <udid> clear                 disarm every failure
//   notify <udid> <name>               post a notification on the device
std::string runControlCommand(Simulator& simulator, const std::string& line);
std::vector<std::string> splitControlWords(const std::string& line);

// Sends one command to a control socket and returns the reply line; throws SimError.
std::string sendControlCommand(const std::string& socketPath, const std::string& line);

} // namespace iphonesim
