#include "app/AppDirs.h"

#include "app/AppInfo.h"

#include <QFile>
#include <QFileInfo>

QString roamingDirUnder(const QString& home)
{
    const QString roaming = QDir(home).filePath(QStringLiteral("AppData/Roaming"));
    if (QFileInfo(roaming).isDir())
        return roaming;
    return QDir(home).filePath(QStringLiteral("Application Data"));
}

QString dataDirPathFor(const QString& roaming)
{
    const QDir vendorDir(QDir(roaming).filePath(AppInfo::vendorFolder));
    QString base = vendorDir.path();
    QFile redirect(vendorDir.filePath(AppInfo::productId + QStringLiteral(".redirect")));
    if (redirect.open(QIODevice::ReadOnly)) {
        // The whole content is the path, untrimmed: a trailing line break makes it miss on purpose.
        const QString target = QString::fromUtf8(redirect.readAll());
        if (!target.isEmpty() && QFileInfo(target).isDir())
            base = target;
    }
    return QDir(base).filePath(AppInfo::productId);
}
