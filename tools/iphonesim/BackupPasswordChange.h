#pragma once

#include "Plist.h"

namespace iphonesim {

class DeviceLink;
class SimDevice;

// mobilebackup2 "ChangePassword", as idevicebackup2 sends it for "encryption on|off" and "changepw":
// NewPassword alone turns backup encryption on, OldPassword alone turns it off, both change the password.
// The old password must be the device's current one (MBErrorDomain/207 otherwise). Turning encryption on or
// changing the password makes new backup keys, so the next backup is a full one.
void changeBackupPassword(SimDevice& device, DeviceLink& link, plist_t request);

} // namespace iphonesim
