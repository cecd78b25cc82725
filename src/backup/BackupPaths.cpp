#include "backup/BackupPaths.h"

#include "platform/PathSyntax.h"

namespace BackupPaths {

bool isSafeRelativePath(const QString& relativePath)
{
    if (relativePath.isEmpty())
        return true;
    if (relativePath.startsWith(QLatin1Char('/')) || relativePath.contains(QChar(0)))
        return false;
    if (hasNativePathSyntax(relativePath))
        return false;
    const QStringList parts = relativePath.split(QLatin1Char('/'));
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString destinationFor(const QDir& root, const QString& relativePath)
{
    if (!isSafeRelativePath(relativePath))
        return {};
    const QString base = QDir::cleanPath(root.absolutePath());
    const QString joined = QDir::cleanPath(base + QLatin1Char('/') + relativePath);
    if (joined != base && !joined.startsWith(base == QLatin1String("/") ? base : base + QLatin1Char('/')))
        return {};
    return joined;
}

} // namespace BackupPaths
