#include "platform/FixedDrives.h"

QStringList fixedDriveRoots()
{
    return {};
}
