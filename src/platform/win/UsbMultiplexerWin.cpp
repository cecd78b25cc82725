#include "platform/UsbMultiplexer.h"

#include "platform/ProcessControl.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QThread>
#include <vector>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <windows.h>

namespace {

constexpr quint16 kMultiplexerPort = 27015;

QMutex g_mutex;
qint64 g_startedPid = 0;

struct KillStartedAtExit
{
    ~KillStartedAtExit()
    {
        if (g_startedPid != 0)
            killProcess(g_startedPid);
    }
} g_killAtExit;

// Starts "usbmuxd" the way the system's search rules find it (beside the program or on the path).
qint64 startHidden()
{
    std::wstring line = L"usbmuxd";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return 0;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return qint64(info.dwProcessId);
}

// Owners of TCP endpoints on the multiplexer's local port.
QSet<qint64> portOwners()
{
    QSet<qint64> owners;
    DWORD size = 0;
    GetExtendedTcpTable(nullptr, &size, TRUE, AF_INET, TCP_TABLE_OWNER_PID_ALL, 0);
    std::vector<char> buffer(size);
    if (GetExtendedTcpTable(buffer.data(), &size, TRUE, AF_INET, TCP_TABLE_OWNER_PID_ALL, 0) != NO_ERROR)
        return owners;
    const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID& row = table->table[i];
        if (ntohs(u_short(row.dwLocalPort)) == kMultiplexerPort && row.dwOwningPid != 0)
            owners.insert(qint64(row.dwOwningPid));
    }
    return owners;
}

} // namespace

void launchMultiplexer()
{
    startHidden();
}

void stopMultiplexer()
{
    for (const RunningProcess& process : runningProcesses()) {
        if (process.executable.compare(QStringLiteral("usbmuxd.exe"), Qt::CaseInsensitive) == 0) {
            killProcess(process.pid);
            return;
        }
    }
}

bool restartMultiplexer()
{
    for (qint64 pid : portOwners())
        killProcess(pid);
    QThread::msleep(2000);
    const qint64 pid = startHidden();
    if (pid == 0)
        return false;
    QMutexLocker lock(&g_mutex);
    if (g_startedPid != 0)
        killProcess(g_startedPid);
    g_startedPid = pid;
    return true;
}
