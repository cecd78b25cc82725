#include "platform/AppDataDir.h"

#include "app/AppDirs.h"
#include "platform/RoamingFolder.h"

#include <QMutex>

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
