#pragma once

#include <QDir>

// The application data folder: app/AppDirs.h's dataDirPathFor the platform's roaming folder
// (platform/RoamingFolder.h), computed once per process and created on every call.
QDir appDataDir();

// appDataDir()/local_databases, created when missing.
QDir localDbDir();
