#include "app/AppDirs.h"

#include "app/AppInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

QString roamingDirUnder(const QString& home)
{
    const QString roaming = QDir(home).filePath(QStringLiteral("AppData/Roaming"));
    if (QFileInfo(roaming).isDir())
        return roaming;
    return QDir(home).filePath(QStringLiteral("Application Data"));
}

QString roamingDir()
{
#ifdef Q_OS_WIN
    return roamingDirUnder(QDir::homePath());
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
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

QDir appDataDir()
{
    static QMutex mutex;
    static QString path;
    {
        QMutexLocker lock(&mutex);
        if (path.isEmpty())
            path = QDir::cleanPath(dataDirPathFor(roamingDir()));
    }
    QDir().mkpath(path);
    return QDir(path);
}

QDir localDbDir()
{
    const QString path = appDataDir().filePath(QStringLiteral("local_databases"));
    QDir().mkpath(path);
    return QDir(path);
}
