#pragma once

#include "device/DeviceInfo.h"

#include <QCoreApplication>
#include <QString>

class DeviceLoadDialogs;

// Taking LINE's data from an attached iPhone, the same for the main window and ferrowyn-cli: connect (with
// the trust question while the device does not let the computer in), read the device's values and LINE's
// place, check its backup settings, take a partial backup, unlock it when encrypted, and mirror LINE's
// data into lineCacheDir(device), where LINE's store is then read.
class DeviceLineLoad
{
    Q_DECLARE_TR_FUNCTIONS(DeviceLineLoad)

public:
    enum class Result
    {
        Loaded,
        Failed,    // the reason was shown
        Cancelled, // the user stopped a job
    };

    explicit DeviceLineLoad(DeviceLoadDialogs& dialogs);

    // The connect-and-trust check (asking to retry while it fails) and the device's values and LINE's
    // home; null when the user gave up.
    PDeviceInfo connect(const QString& udid);
    // The rest of the sequence for a connected device; its password is remembered in the record.
    Result loadLine(const PDeviceInfo& device);

private:
    DeviceLoadDialogs& m_dialogs;
};
