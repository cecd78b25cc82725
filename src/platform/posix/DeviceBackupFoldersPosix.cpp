#include "platform/DeviceBackupFolders.h"

#include <QDir>

QStringList nativeDeviceBackupFolders()
{
    QStringList folders;
    const QString chosen = qEnvironmentVariable("FERROWYN_BACKUP_DIR");
    if (!chosen.isEmpty())
        folders << chosen;
#ifdef Q_OS_MACOS
    folders << QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup");
#endif
    return folders;
}
