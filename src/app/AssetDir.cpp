#include "app/AssetDir.h"

#include <QCoreApplication>
#include <QDir>

QString assetDir()
{
    const QString configured = qEnvironmentVariable("FERROWYN_ASSET_DIR");
    if (!configured.isEmpty())
        return QDir(configured).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString linebbDir()
{
    return QDir(assetDir()).filePath(QStringLiteral("linebb"));
}
