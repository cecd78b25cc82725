#include "BackupPasswordChange.h"

#include "DeviceLink.h"
#include "SimDevice.h"
#include "SimLog.h"

#include <exception>

namespace iphonesim {

namespace {

constexpr const char* kInvalidPassword = "Invalid password (MBErrorDomain/207)";

} // namespace

void changeBackupPassword(SimDevice& device, DeviceLink& link, plist_t request)
{
    const auto oldPassword = dictString(request, "OldPassword");
    const auto newPassword = dictString(request, "NewPassword");
    const DeviceSettings current = device.settings();
    if (!oldPassword && !newPassword) {
        link.sendResponse(1, "Missing OldPassword or NewPassword (MBErrorDomain/1)");
        return;
    }
    if (newPassword && newPassword->empty()) {
        link.sendResponse(1, "The new backup password is empty (MBErrorDomain/1)");
        return;
    }
    if (current.willEncrypt) {
        // Changing or removing the password needs the current one.
        if (!oldPassword || *oldPassword != current.backupPassword) {
            logInfo(device.udid() + " ChangePassword: wrong old password");
            link.sendResponse(207, kInvalidPassword);
            return;
        }
    } else if (oldPassword) {
        // Nothing to change or turn off: no password is set.
        link.sendResponse(207, kInvalidPassword);
        return;
    }

    try {
        if (newPassword) {
            DeviceSettings changed = current;
            changed.willEncrypt = true;
            changed.backupPassword = *newPassword;
            // The keys first: a failure leaves the device as it was.
            device.backupKeys().renew(changed);
            device.updateSettings([&](DeviceSettings& settings) {
                settings.willEncrypt = true;
                settings.backupPassword = *newPassword;
            });
            logInfo(device.udid() +
                    (current.willEncrypt ? " backup password changed" : " backup encryption turned on"));
        } else {
            device.updateSettings([](DeviceSettings& settings) {
                settings.willEncrypt = false;
                settings.backupPassword.clear();
            });
            device.backupKeys().forget();
            logInfo(device.udid() + " backup encryption turned off");
        }
    } catch (const std::exception& failure) {
        logError(device.udid() + " ChangePassword: " + failure.what());
        link.sendResponse(1, "Could not change the backup password (MBErrorDomain/1)");
        return;
    }
    link.sendResponse(0, "");
}

} // namespace iphonesim
