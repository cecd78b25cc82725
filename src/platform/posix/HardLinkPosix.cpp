#include "platform/HardLink.h"

#include <QFile>
#include <QString>
#include <unistd.h>

bool makeHardLink(const QString& existing, const QString& link)
{
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(link).constData()) == 0;
}
