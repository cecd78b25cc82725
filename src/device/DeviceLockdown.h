#pragma once

#include "device/DeviceConnection.h"
#include "plist/PlistCFType.h"

#include <QString>

// The label the program gives lockdownd for every connection it opens.
inline constexpr char kDeviceClientLabel[] = "VANTOREL";

// UDIDs name folders on the computer, so one that came from outside is used only when it has a device
// UDID's shape: 1 to 64 letters, digits and hyphens.
bool isValidUdid(const QString& udid);

// Opens the device (over USB only, never the network) and a lockdown client with a full handshake
// (pairing when the device has not paired yet). True when both opened.
bool openLockdown(DeviceConnection& connection);

// One lockdown value (the whole domain for an empty key, the root dictionary for empty domain and key)
// over a connection of its own; a null wrapper on any failure.
PlistCFType readLockdownValue(const QString& udid, const QString& domain, const QString& key);
