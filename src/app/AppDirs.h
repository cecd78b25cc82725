#pragma once

#include <QDir>
#include <QString>

// The per-user roaming folder: on Windows the profile's "AppData/Roaming" (or "Application Data"),
// elsewhere the platform's per-user data folder.
QString roamingDir();

// The Windows rule for a given profile folder: home/AppData/Roaming when it is a folder, else
// home/Application Data.
QString roamingDirUnder(const QString& home);

// The data folder for a roaming folder: the redirect target when the redirect file names an existing
// folder, else roaming/Vantorel; then the product identifier below it.
QString dataDirPathFor(const QString& roaming);

// The application data folder, computed once per process and created on every call.
QDir appDataDir();

// appDataDir()/local_databases, created when missing.
QDir localDbDir();
