#include "app/PausePoint.h"

#include <QByteArray>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>

namespace PausePoint {

void reach(const char* name)
{
    static const QByteArray wanted = qgetenv("FERROWYN_PAUSE_AT");
    if (wanted.isEmpty() || wanted != name)
        return;
    static std::atomic_bool reached = false;
    if (reached.exchange(true))
        return;
    std::fprintf(stderr, "paused at %s\n", name);
    std::fflush(stderr);
    std::string line;
    std::getline(std::cin, line);
}

} // namespace PausePoint
