#include "app/AssetDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString assetDir()
{
    const QString configured = qEnvironmentVariable("FERROWYN_ASSET_DIR");
    if (!configured.isEmpty())
        return QDir(configured).absolutePath();
    const QDir program(QCoreApplication::applicationDirPath());
    if (QFileInfo(program.filePath(QStringLiteral("linebb"))).isDir())
        return program.path();
    // Installed: relative to the program, so that the installation can be moved as a whole.
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral("../share/ferrowyn")));
    if (QFileInfo(QDir(installed).filePath(QStringLiteral("linebb"))).isDir())
        return installed;
    return program.path();
}

QString linebbDir()
{
    return QDir(assetDir()).filePath(QStringLiteral("linebb"));
}
