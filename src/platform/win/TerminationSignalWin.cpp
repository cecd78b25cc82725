#include "platform/TerminationSignal.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace {
BOOL WINAPI onConsoleEvent(DWORD)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), "quit", Qt::QueuedConnection);
    return TRUE;
}
} // namespace

void quitApplicationOnTerminationSignal()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}
