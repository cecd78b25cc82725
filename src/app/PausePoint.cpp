#include "app/PausePoint.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {
constexpr int kMostWaitMs = 60000;
constexpr int kPollMs = 5;

void createMarker(const QString& path)
{
    QFile marker(path);
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
}

void waitUntil(const std::function<bool()>& done)
{
    const QDeadlineTimer limit(kMostWaitMs);
    while (!done() && !limit.hasExpired())
        QThread::msleep(kPollMs);
}
} // namespace

void pausePoint(const char* name, const std::function<bool()>& interrupted)
{
    if (qEnvironmentVariable("FERROWYN_PAUSE_AT") != QLatin1String(name))
        return;
    const QString marker = qEnvironmentVariable("FERROWYN_PAUSE_MARKER");
    if (!marker.isEmpty())
        createMarker(marker);
    waitUntil(interrupted);
    if (!qEnvironmentVariableIsSet("FERROWYN_PAUSE_HOLD"))
        return;
    if (!marker.isEmpty())
        createMarker(marker + QStringLiteral(".interrupted"));
    waitUntil([] { return false; });
}
