#include "device/DeviceBackupPath.h"

#include "backup/BackupPaths.h"

#include <QFileInfo>

namespace DeviceBackupPath {

QString resolve(const QDir& root, const QString& devicePath, QString* error, QSet<QString>* realFolders)
{
    const auto refuse = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("refused the path %1: %2").arg(devicePath, why);
        return QString();
    };
    if (devicePath.isEmpty())
        return refuse(QStringLiteral("it is empty"));
    if (QDir::isAbsolutePath(devicePath) || devicePath.startsWith(QLatin1Char('\\')))
        return refuse(QStringLiteral("it is absolute"));
    const QString absolute = BackupPaths::destinationFor(root, devicePath);
    if (absolute.isEmpty())
        return refuse(QStringLiteral("it leaves the backup folder"));
    // Every component below the root that exists must be a real file or folder.
    const QString base = QDir::cleanPath(root.absolutePath());
    QString current = base;
    const QStringList parts = QDir::cleanPath(devicePath).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        current += QLatin1Char('/') + parts.at(i);
        const bool folder = i + 1 < parts.size();
        if (folder && realFolders && realFolders->contains(current))
            continue;
        const QFileInfo info(current);
        if (info.isSymLink() || info.isJunction())
            return refuse(QStringLiteral("it passes through a symbolic link"));
        if (!info.exists())
            break; // nothing below a missing component exists either
        if (folder && realFolders && info.isDir())
            realFolders->insert(current);
    }
    return absolute;
}

} // namespace DeviceBackupPath
