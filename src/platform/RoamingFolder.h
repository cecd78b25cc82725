#pragma once

#include <QString>

// The per-user roaming folder: on Windows the profile's "AppData/Roaming" (or "Application Data", see
// roamingDirUnder in app/AppDirs.h), elsewhere the platform's per-user data folder.
QString roamingDir();
