#pragma once

#include <QStringList>

// The roots of the computer's fixed (non-removable, non-network) drives, e.g. "C:/", in QDir::drives()
// order. Empty where there are no drive letters (Linux, macOS): one file-system tree holds everything.
QStringList fixedDriveRoots();
