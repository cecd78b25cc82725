#pragma once

#include <QString>

// The connect-and-trust check run when a device is attached: opens the device and a lockdown session
// (pairing when needed). When that fails because the device is not trusted (yet), the computer's pairing
// record for it is deleted, so that the next attempt asks the iPhone for trust again; errorText then says
// what failed (plain text). True when the device answered with a session.
bool checkDeviceConnection(const QString& udid, QString& errorText);
