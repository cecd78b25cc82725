#include "SimLog.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace iphonesim {

namespace {

std::atomic<int> g_level{int(LogLevel::Error)};
std::mutex g_mutex;

} // namespace

void setLogLevel(LogLevel level)
{
    g_level = int(level);
}

LogLevel logLevel()
{
    return LogLevel(g_level.load());
}

void logLine(LogLevel level, const std::string& text)
{
    if (int(level) > g_level.load())
        return;
    static const char* const tags[] = {"", "E", "I", "D"};
    std::lock_guard lock(g_mutex);
    std::fprintf(stderr, "iphonesim(%s) %s\n", tags[int(level)], text.c_str());
    std::fflush(stderr);
}

} // namespace iphonesim
