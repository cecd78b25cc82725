#include "platform/ProcessExit.h"

#include <string>
#include <windows.h>

void terminateProcessNow()
{
    // taskkill /f ends the process the way the user would from the task manager.
    std::wstring command = L"taskkill /f /pid " + std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // Reached only when taskkill could not be run or did not end us.
    TerminateProcess(GetCurrentProcess(), 1);
    ExitProcess(1);
}
