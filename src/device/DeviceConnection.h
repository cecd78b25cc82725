#pragma once

#include "device/DeviceHandles.h"

#include <QString>

// One connection to a device: the device handle, its lockdown client and an AFC client, each optional.
// The members go in the reverse of their order here: the AFC client, the lockdown client, the device.
struct DeviceConnection
{
    QString udid;
    IdeviceHandle device;
    LockdownClient lockdown;
    AfcClient afc;

    DeviceConnection() = default;
    explicit DeviceConnection(QString deviceUdid) : udid(std::move(deviceUdid)) {}
    DeviceConnection(DeviceConnection&&) noexcept = default;
    // Assigning would free the old handles in the wrong order.
    DeviceConnection& operator=(DeviceConnection&&) = delete;
};
