#include "ui/WindowBusyLock.h"

#include <QMutex>

QMutex& windowBusyLock()
{
    static QMutex lock;
    return lock;
}
