#pragma once

#include "plist/PlistCFType.h"

#include <QDir>
#include <QList>
#include <QString>
#include <memory>

// An attached iPhone as the program knows it, shared by the windows and the jobs that work on it.
struct DeviceInfo
{
    QString name; // lockdown "DeviceName"
    QString udid;
    QString countryCode;    // "MobileSubscriberCountryCode"
    QString productVersion; // "ProductVersion", e.g. 12.4.1
    QString productType;    // "ProductType"
    QString backupPassword; // of the device's encrypted backups, once the user entered it
    QString lineHome;       // LINE's HOME container path on the device, empty when LINE is missing

    // Takes the identity values from lockdown's root dictionary (a missing key gives an empty text).
    void setIdentity(const PlistCFType& lockdownRoot);
};

using PDeviceInfo = std::shared_ptr<DeviceInfo>;

// Every number in the product version, left to right: 12.4.1 gives 12, 4, 1; an empty version nothing.
QList<int> versionNumbers(const DeviceInfo& device);
// The product version compared with major.minor (missing parts count as 0).
bool versionAtLeast(const DeviceInfo& device, int major, int minor = 0);

// appDataDir()/"ios_cache"/<udid>, created with its parents when missing: the device's cache folder.
QDir deviceCacheDir(const DeviceInfo& device);
// deviceCacheDir/"jp.naver.line" (not created): where LINE's data taken from the device goes.
QString lineCacheDir(const DeviceInfo& device);
