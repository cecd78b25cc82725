#pragma once

#include <atomic>

// Console facts for the command-line program.

// True when standard error is a terminal, so a progress line can be redrawn in place.
bool standardErrorIsTerminal();

// True when standard input is a terminal, so a question can be answered there.
bool standardInputIsTerminal();

// Width of the terminal behind standard error in columns; 80 when it is not a terminal or unknown.
int terminalColumns();

// While an object of this class lives, an interrupt from the console (Ctrl+C: SIGINT on POSIX, the
// console's Ctrl+C and Ctrl+Break events on Windows) sets the flag instead of ending the process, so a
// running job can stop at a safe point. A second interrupt while the flag is already set ends the process
// the usual way. Only one catcher may exist at a time.
class InterruptCatcher
{
public:
    explicit InterruptCatcher(std::atomic<bool>& flag);
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;
};
