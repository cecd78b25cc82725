#include "device/DeviceLockdown.h"

bool isValidUdid(const QString& udid)
{
    if (udid.isEmpty() || udid.size() > 64)
        return false;
    for (const QChar c : udid) {
        const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                             (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('-');
        if (!allowed)
            return false;
    }
    return true;
}

bool openLockdown(DeviceConnection& connection)
{
    if (!isValidUdid(connection.udid))
        return false;
    idevice_t device = nullptr;
    if (idevice_new_with_options(&device, connection.udid.toLatin1().constData(), IDEVICE_LOOKUP_USBMUX) !=
        IDEVICE_E_SUCCESS)
        return false;
    connection.device.reset(device);
    lockdownd_client_t client = nullptr;
    if (lockdownd_client_new_with_handshake(device, &client, kDeviceClientLabel) != LOCKDOWN_E_SUCCESS)
        return false;
    connection.lockdown.reset(client);
    return true;
}

PlistCFType readLockdownValue(const QString& udid, const QString& domain, const QString& key)
{
    DeviceConnection connection(udid);
    if (!openLockdown(connection))
        return PlistCFType();
    plist_t value = nullptr;
    const QByteArray domainBytes = domain.toUtf8();
    const QByteArray keyBytes = key.toUtf8();
    if (lockdownd_get_value(connection.lockdown.get(), domain.isEmpty() ? nullptr : domainBytes.constData(),
                            key.isEmpty() ? nullptr : keyBytes.constData(), &value) != LOCKDOWN_E_SUCCESS) {
        if (value)
            plist_free(value);
        return PlistCFType();
    }
    return PlistCFType(value, true);
}
