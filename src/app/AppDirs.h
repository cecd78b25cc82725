#pragma once

#include <QDir>
#include <QString>

// The rules of the application data folder that hold on every platform. Which roaming folder a user has
// is a platform answer (platform/RoamingFolder.h), and the folder itself is appDataDir()
// (platform/AppDataDir.h).

// The Windows rule for a given profile folder: home/AppData/Roaming when it is a folder, else
// home/Application Data.
QString roamingDirUnder(const QString& home);

// The data folder for a roaming folder: the redirect target when the redirect file names an existing
// folder, else roaming/Vantorel; then the product identifier below it.
QString dataDirPathFor(const QString& roaming);
