#pragma once

#include <QString>

// Forgets the computer's pairing record for a device, so that the next connection asks the iPhone to
// trust the computer again (a stale record makes every connection fail). Through usbmuxd's
// DeletePairRecord on Linux and macOS; on Windows the record is the file "<udid>.plist" in Apple's
// "Apple/Lockdown" folder of the common application data. A missing record is not an error.
void deletePairingRecord(const QString& udid);
