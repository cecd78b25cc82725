#include "platform/RoamingFolder.h"

#include <QStandardPaths>

QString roamingDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
