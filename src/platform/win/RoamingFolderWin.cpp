#include "platform/RoamingFolder.h"

#include "app/AppDirs.h"

#include <QDir>

QString roamingDir()
{
    return roamingDirUnder(QDir::homePath());
}
