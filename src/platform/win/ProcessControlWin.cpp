#include "platform/ProcessControl.h"

#include <windows.h>

#include <tlhelp32.h>

QList<RunningProcess> runningProcesses()
{
    QList<RunningProcess> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return processes;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes.append({qint64(entry.th32ProcessID), QString::fromWCharArray(entry.szExeFile)});
    CloseHandle(snapshot);
    return processes;
}

void killProcess(qint64 pid)
{
    // Hidden: no console window flashes up.
    QString command = QStringLiteral("taskkill /f /pid %1").arg(pid);
    std::wstring line = command.toStdWString();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

QString iTunesExecutableName()
{
    return QStringLiteral("itunes.exe");
}
