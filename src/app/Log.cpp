#include "app/Log.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <cstdio>
#include <cstdlib>

namespace {
QString g_logFolder;
QMutex g_logMutex;
LogEcho g_echo = LogEcho::DebugToStandardOutput;
} // namespace

QString logFileName(const QDate& date)
{
    return QStringLiteral("log-%1.txt").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

QString formatLogLine(QtMsgType type, const QTime& time, const QString& message)
{
    const QString clock = time.toString(QStringLiteral("hh:mm:ss"));
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("(D %1) %2\n").arg(clock, message);
    case QtWarningMsg:
        return QStringLiteral("(W %1) %2\n").arg(clock, message);
    case QtCriticalMsg:
        return QStringLiteral("(C %1) %2\n").arg(clock, message);
    case QtFatalMsg:
        return QStringLiteral("(F %1) %2\n").arg(clock, message);
    default:
        return QStringLiteral("(%1) %2\n").arg(clock, message);
    }
}

void pruneLogFiles(const QString& folder, int keepCount)
{
    QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (qsizetype i = 0; i < files.size() - keepCount; ++i)
        dir.remove(files[i]);
}

void startLog(const QString& logFolder, int keepCount, LogEcho echo)
{
    g_logFolder = logFolder;
    g_echo = echo;
    pruneLogFiles(logFolder, keepCount);
    qInstallMessageHandler(logMessageHandler);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray line = formatLogLine(type, now.time(), message).toUtf8();
    {
        // Lines from job threads would otherwise interleave inside one write.
        QMutexLocker lock(&g_logMutex);
        QDir().mkpath(g_logFolder);
        QFile file(QDir(g_logFolder).filePath(logFileName(now.date())));
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(line);
    }
    if (type == QtDebugMsg && g_echo == LogEcho::DebugToStandardOutput) {
        std::fprintf(stdout, "%s\n", message.toLocal8Bit().constData());
        std::fflush(stdout);
    }
    if (type == QtFatalMsg)
        std::abort();
}
