#include "platform/DeviceBackupFolders.h"

QStringList nativeDeviceBackupFolders()
{
    // iTunes and Apple Devices keep theirs in the folders every platform looks in.
    const QString chosen = qEnvironmentVariable("FERROWYN_BACKUP_DIR");
    return chosen.isEmpty() ? QStringList() : QStringList{chosen};
}
