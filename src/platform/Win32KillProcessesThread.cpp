#include "platform/Win32KillProcessesThread.h"

#include "platform/ProcessControl.h"

#include <QMutexLocker>

namespace {
constexpr int kScanIntervalMs = 1000;
} // namespace

Win32KillProcessesThread::Win32KillProcessesThread(QObject* parent) : QThread(parent)
{
}

Win32KillProcessesThread::~Win32KillProcessesThread()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
    }
    wait();
}

void Win32KillProcessesThread::watchITunes()
{
    const QString name = iTunesExecutableName();
    if (!name.isEmpty())
        killAndNotify(name, tr("iTunes can't be started when running Vantorel. Please close iTunes."));
}

void Win32KillProcessesThread::killSilently(const QString& executable)
{
    m_killSilently.insert(executable.toLower());
}

void Win32KillProcessesThread::killAndNotify(const QString& executable, const QString& message)
{
    m_killAndNotify.insert(executable.toLower(), message);
}

bool Win32KillProcessesThread::stopping() const
{
    QMutexLocker lock(&m_mutex);
    return m_stopping;
}

int Win32KillProcessesThread::scanOnce()
{
    int killed = 0;
    for (const RunningProcess& process : runningProcesses()) {
        const QString name = process.executable.toLower();
        const auto notify = m_killAndNotify.constFind(name);
        if (notify != m_killAndNotify.constEnd()) {
            killProcess(process.pid);
            ++killed;
            emit processKilled(notify.value());
        } else if (m_killSilently.contains(name)) {
            killProcess(process.pid);
            ++killed;
        }
    }
    return killed;
}

void Win32KillProcessesThread::run()
{
    if (m_killSilently.isEmpty() && m_killAndNotify.isEmpty())
        return;
    while (!stopping()) {
        scanOnce();
        msleep(kScanIntervalMs);
    }
}
