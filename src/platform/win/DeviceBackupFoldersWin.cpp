#include "platform/DeviceBackupFolders.h"

QStringList nativeDeviceBackupFolders()
{
    // iTunes and Apple Devices keep theirs in the folders every platform looks in.
    return {};
}
