#include "platform/ProcessControl.h"

// On Linux and macOS the device services belong to the system's usbmuxd, and no program has to be
// stopped for the device to be reachable.

QList<RunningProcess> runningProcesses()
{
    return {};
}

void killProcess(qint64)
{
}

QString iTunesExecutableName()
{
    return {};
}
