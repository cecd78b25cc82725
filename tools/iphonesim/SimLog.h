#pragma once

#include <string>

namespace iphonesim {

enum class LogLevel
{
    Quiet = 0,
    Error = 1,
    Info = 2,
    Debug = 3
};

// Diagnostic lines of the simulator on standard error, one line per call, safe from any thread.
void setLogLevel(LogLevel level);
LogLevel logLevel();
void logLine(LogLevel level, const std::string& text);

inline void logError(const std::string& text)
{
    logLine(LogLevel::Error, text);
}
inline void logInfo(const std::string& text)
{
    logLine(LogLevel::Info, text);
}
inline void logDebug(const std::string& text)
{
    logLine(LogLevel::Debug, text);
}

} // namespace iphonesim
