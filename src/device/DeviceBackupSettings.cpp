#include "device/DeviceBackupSettings.h"

#include "device/DeviceLockdown.h"

PlistCFType DeviceBackupSettings::read(const QString& udid)
{
    return readLockdownValue(udid, QStringLiteral("com.apple.mobile.backup"), QString());
}

std::optional<BackupSettingsRefusal> DeviceBackupSettings::check(const PlistCFType& values, bool checkCloud,
                                                                 bool checkEncrypt)
{
    if (!values.isDict())
        return std::nullopt;
    if (checkCloud && values.value(QStringLiteral("CloudBackupEnabled")).getBool())
        return BackupSettingsRefusal{tr("Failed to transfer data to device. Please turn off iCloud backup on "
                                        "your iPhone to try again."),
                                     QStringLiteral(":res/close_icloudbk.jpg")};
    if (checkEncrypt && values.value(QStringLiteral("WillEncrypt")).getBool())
        return BackupSettingsRefusal{
            tr("Failed to transfer data to device. Your iTunes backup is encrypted. Please "
               "run iTunes on computer and then uncheck \"Encrypt iPhone backup\" option "
               "to try again."),
            QStringLiteral(":res/close_itunesbkenc.jpg")};
    return std::nullopt;
}

std::optional<BackupSettingsRefusal> checkDeviceBackupSettings(const DeviceInfo& device, bool checkCloud,
                                                               bool checkEncrypt)
{
    return DeviceBackupSettings::check(DeviceBackupSettings::read(device.udid), checkCloud, checkEncrypt);
}
