#include "device/DeviceTrustCheck.h"

#include "device/DeviceConnection.h"
#include "device/DeviceLockdown.h"
#include "platform/PairingRecords.h"

#include <QCoreApplication>

bool checkDeviceConnection(const QString& udid, QString& errorText)
{
    errorText.clear();
    DeviceConnection connection(udid);
    idevice_t device = nullptr;
    if (!isValidUdid(udid) || idevice_new_with_options(&device, udid.toLatin1().constData(),
                                                       IDEVICE_LOOKUP_USBMUX) != IDEVICE_E_SUCCESS) {
        // Nothing is deleted: a device that is briefly gone keeps its trust.
        errorText = QStringLiteral("No device found.");
    } else {
        connection.device.reset(device);
        lockdownd_client_t client = nullptr;
        const lockdownd_error_t result =
            lockdownd_client_new_with_handshake(device, &client, kDeviceClientLabel);
        if (result == LOCKDOWN_E_SUCCESS) {
            connection.lockdown.reset(client);
            return true;
        }
        errorText = QStringLiteral("Could not connect to lockdownd, error code %1").arg(int(result));
        // A record the device no longer accepts fails every connection; without it the next attempt pairs
        // afresh and the iPhone asks the user to trust this computer.
        deletePairingRecord(udid);
    }
    errorText = QCoreApplication::translate(
                    "checkDeviceConnection",
                    "Please launch iTunes (Finder if MacOS 10.15 or above) first and then re-connect your "
                    "iPhone. Once your iPhone is visible in iTunes (Finder if MacOS 10.15 or above), please "
                    "restart Vantorel software.") +
                QStringLiteral("\n\nError detail: ") + errorText;
    return false;
}
