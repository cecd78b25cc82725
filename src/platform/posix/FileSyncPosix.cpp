#include "platform/FileSync.h"

#include <QFileDevice>
#include <unistd.h>

bool syncFileToDisk(QFileDevice& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    return ::fdatasync(file.handle()) == 0;
}
