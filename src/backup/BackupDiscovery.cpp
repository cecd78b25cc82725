#include "backup/BackupDiscovery.h"

#include "platform/DeviceBackupFolders.h"
#include "platform/RoamingFolder.h"

#include <QFileInfo>
#include <QtDebug>
#include <exception>

namespace BackupDiscovery {

QList<QDir> backupRoots()
{
    QList<QDir> roots;
    roots.append(QDir(roamingDir() + QStringLiteral("/Apple Computer/MobileSync/Backup")));
    roots.append(QDir(QDir::homePath() + QStringLiteral("/Apple/MobileSync/Backup")));
    for (const QString& folder : nativeDeviceBackupFolders())
        roots.append(QDir(folder));
    return roots;
}

bool isBackupFolder(const QDir& folder)
{
    return QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.plist"))) &&
           (QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.mbdb"))) ||
            QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.db"))));
}

Listing listBackups(const QList<QDir>& roots)
{
    Listing listing;
    for (const QDir& root : roots) {
        const QFileInfoList folders =
            root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time | QDir::Reversed);
        for (const QFileInfo& info : folders) {
            const QDir folder(info.absoluteFilePath());
            if (!isBackupFolder(folder))
                continue;
            auto backup = std::make_shared<BackupManifest>(info.absoluteFilePath());
            try {
                backup->loadInfo();
                listing.backups.append(backup);
            } catch (const std::exception& error) {
                const QString text = QString::fromUtf8(error.what());
                qWarning("load %s error. %s", qUtf8Printable(info.absoluteFilePath()), qUtf8Printable(text));
                listing.failures.append({info.absoluteFilePath(), text});
            }
        }
    }
    return listing;
}

} // namespace BackupDiscovery
