#pragma once

#include <QList>
#include <QString>

// A running program as the process list shows it.
struct RunningProcess
{
    qint64 pid = 0;
    QString executable; // the executable's file name, e.g. "iTunes.exe"
};

// The processes running now; empty where the list is not needed (POSIX: no program there interferes
// with the device services) or when the list cannot be taken.
QList<RunningProcess> runningProcesses();

// Ends a process at once without asking it ("taskkill /f /pid <pid>", hidden, not waited for). Does
// nothing on POSIX, where the program never stops other programs.
void killProcess(qint64 pid);

// The executable name of Apple's iTunes, lower-case, on the platform where it can run beside the
// program and take the device away from it; empty elsewhere.
QString iTunesExecutableName();
