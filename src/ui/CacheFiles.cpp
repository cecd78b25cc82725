#include "ui/CacheFiles.h"

#include "app/FolderUtils.h"
#include "device/DeviceInfo.h"
#include "device/PartialBackupRoot.h"
#include "line/IOSLineStoreCache.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The partial backups of attached devices (loads) and the restore copies of transfers.
const QStringList kPartialBackups = {QStringLiteral("line"), QStringLiteral("line-restore")};

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

} // namespace

QString CacheFiles::deviceFolder(const QString& udid)
{
    DeviceInfo device;
    device.udid = udid;
    return deviceCacheDir(device).absolutePath();
}

bool CacheFiles::clear(const QStringList& keep)
{
    QStringList kept;
    for (const QString& folder : keep)
        kept << canonical(folder);
    bool removed = true;
    const QDir root(IOSLineStoreCache::cacheRoot());
    const QFileInfoList entries =
        root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (kept.contains(canonical(entry.absoluteFilePath())))
            continue;
        if (entry.isDir() && !entry.isSymLink())
            removeTree(entry.absoluteFilePath());
        else
            QFile::remove(entry.absoluteFilePath());
        const QFileInfo after(entry.absoluteFilePath());
        removed &= !after.exists() && !after.isSymLink();
    }
    for (const QString& name : kPartialBackups) {
        const QString folder = PartialBackupRoot::partialBackupRoot(name).absolutePath();
        removeTree(folder);
        removed &= !QFileInfo::exists(folder);
    }
    return removed;
}
