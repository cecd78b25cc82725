#include "platform/FileSystemSync.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

bool syncFileSystemOf(const QString& path)
{
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
#else
    Q_UNUSED(path);
    ::sync();
    return true;
#endif
}
