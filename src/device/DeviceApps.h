#pragma once

#include "plist/PlistCFType.h"

#include <QList>
#include <QString>
#include <QStringList>

// The user apps installed on a device as the installation proxy describes them (one dictionary each),
// with only the given attributes when the list is not empty. ok reports whether the device answered.
QList<PlistCFType> browseUserApps(const QString& udid, const QStringList& returnAttributes,
                                  bool* ok = nullptr);

// LINE's HOME container path on the device ("EnvironmentVariables"/"HOME" of "jp.naver.line"), or
// empty when LINE is not installed or the device cannot be asked.
QString findLineHome(const QString& udid);
