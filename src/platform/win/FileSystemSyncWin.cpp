#include "platform/FileSystemSync.h"

#include <QDir>
#include <QStorageInfo>
#include <windows.h>

bool syncFileSystemOf(const QString& path)
{
    // Flushing a whole volume needs a handle to it, which only an administrator may open.
    const QString root = QStorageInfo(path).rootPath();
    if (root.size() < 2 || root.at(1) != QLatin1Char(':'))
        return false;
    const std::wstring volume = L"\\\\.\\" + root.left(2).toStdWString();
    const HANDLE handle = CreateFileW(volume.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return flushed;
}
