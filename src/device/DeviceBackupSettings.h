#pragma once

#include "device/DeviceInfo.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

// Why a device's backup settings stop a backup or restore before it starts: the text for the user and the
// picture that shows where to change the setting.
struct BackupSettingsRefusal
{
    QString text;
    QString picture;
};

// The pre-check before a device backup or restore: iCloud backup switched on (checkCloud) or encrypted
// computer backups (checkEncrypt) refuse; a device whose settings cannot be read passes.
class DeviceBackupSettings
{
    Q_DECLARE_TR_FUNCTIONS(DeviceBackupSettings)

public:
    // The device's "com.apple.mobile.backup" domain (a null wrapper when it cannot be read).
    static PlistCFType read(const QString& udid);
    static std::optional<BackupSettingsRefusal> check(const PlistCFType& values, bool checkCloud,
                                                      bool checkEncrypt);
};

// check(read(device.udid), ...).
std::optional<BackupSettingsRefusal> checkDeviceBackupSettings(const DeviceInfo& device, bool checkCloud,
                                                               bool checkEncrypt);
