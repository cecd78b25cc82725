#include "platform/PathSyntax.h"

bool hasNativePathSyntax(const QString& path)
{
    return path.contains(QLatin1Char('\\')) || path.contains(QLatin1Char(':'));
}
