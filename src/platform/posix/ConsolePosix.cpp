#include "platform/Console.h"

#include <csignal>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
std::atomic<bool>* g_interruptFlag = nullptr;
struct sigaction g_previousAction = {};

void onInterrupt(int signal)
{
    std::atomic<bool>* flag = g_interruptFlag;
    if (flag && !flag->exchange(true))
        return;
    // Already asked once: give the signal its default meaning.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}
} // namespace

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

bool standardInputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

int terminalColumns()
{
    struct winsize size = {};
    if (::isatty(STDERR_FILENO) == 1 && ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

InterruptCatcher::InterruptCatcher(std::atomic<bool>& flag)
{
    g_interruptFlag = &flag;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previousAction);
}

InterruptCatcher::~InterruptCatcher()
{
    sigaction(SIGINT, &g_previousAction, nullptr);
    g_interruptFlag = nullptr;
}
