#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// What the daily log does besides writing its file.
enum class LogEcho
{
    DebugToStandardOutput, // the desktop program: debug messages are also printed on standard output
    None,                  // the command line: standard output and error belong to the commands
};

// Stores the log folder, deletes the oldest log files beyond keepCount and installs logMessageHandler
// for the whole process.
void startLog(const QString& logFolder, int keepCount, LogEcho echo = LogEcho::DebugToStandardOutput);

// Writes one line to today's log file "log-yyyyMMdd.txt" (open, append, close); debug messages are also
// printed on standard output unless the log was started without echo, and a fatal message ends the
// process.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Deletes the files of folder with the smallest names until at most keepCount remain.
void pruneLogFiles(const QString& folder, int keepCount);

// "(W hh:mm:ss) text\n" and its siblings.
QString formatLogLine(QtMsgType type, const QTime& time, const QString& message);
QString logFileName(const QDate& date);
