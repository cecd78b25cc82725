#pragma once

#include <QString>
#include <QStringList>

// What can be learned about the attached devices without asking the user anything: no pairing is
// started, so no device shows its trust dialog.
struct DeviceSummary
{
    QString udid;
    QString name;
    QString productType;
    QString productVersion;
    bool paired = false;        // the device accepts this computer's pairing record
    bool lineInstalled = false; // known only for a paired device
};

// The UDIDs of the devices attached over USB, each once, in the multiplexer's order (network devices are
// left out, and so are names that are no UDIDs). reachable tells whether the multiplexer answered.
QStringList attachedDeviceUdids(bool* reachable = nullptr);

// The device's identity and whether it is paired (and then whether LINE is installed).
DeviceSummary describeDevice(const QString& udid);
