#include "platform/DeviceBackupFolders.h"

#include <QDir>

QStringList nativeDeviceBackupFolders()
{
#ifdef Q_OS_MACOS
    return {QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup")};
#else
    return {};
#endif
}
