#include "platform/Console.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace {
std::atomic<bool>* g_interruptFlag = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    std::atomic<bool>* flag = g_interruptFlag;
    // FALSE passes a second interrupt on to the default handler, which ends the process.
    return flag && !flag->exchange(true) ? TRUE : FALSE;
}
} // namespace

bool standardErrorIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

bool standardInputIsTerminal()
{
    return _isatty(_fileno(stdin)) != 0;
}

int terminalColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

InterruptCatcher::InterruptCatcher(std::atomic<bool>& flag)
{
    g_interruptFlag = &flag;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptCatcher::~InterruptCatcher()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_interruptFlag = nullptr;
}
