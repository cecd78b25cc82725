#include "platform/FileSync.h"

#include <QFileDevice>
#include <io.h>
#include <windows.h>

bool syncFileToDisk(QFileDevice& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}
