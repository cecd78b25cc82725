#include "app/JobControl.h"

#include <algorithm>

namespace {
// Reading the clock costs about as much as writing a short message, so it is read every 64 reports only.
constexpr unsigned kReportsPerClockRead = 64;
} // namespace

JobControl::JobControl(Listener listener) : m_listener(std::move(listener))
{
}

void JobControl::setStatus(const QString& status, int percent)
{
    m_lastPercent = percent < 0 ? -1 : std::min(percent, 100);
    m_lastText.clear();
    if (m_listener.status)
        m_listener.status(status, m_lastPercent);
}

int JobControl::percentOf(qint64 done, qint64 total)
{
    return total <= 0 ? 100 : int(std::clamp<qint64>(done, 0, total) * 100 / total);
}

void JobControl::setProgress(qint64 done, qint64 total, const QString& text)
{
    setPercent(percentOf(done, total), text);
}

void JobControl::flushProgress(qint64 done, qint64 total, const QString& text)
{
    const int percent = percentOf(done, total);
    if (percent != m_lastPercent || text != m_lastText)
        report(percent, text);
}

void JobControl::setPercent(int percent, const QString& text)
{
    percent = std::clamp(percent, 0, 100);
    bool due = percent != m_lastPercent;
    if (!due && text != m_lastText && ++m_sinceClockRead >= kReportsPerClockRead) {
        m_sinceClockRead = 0;
        due = !m_sinceReport.isValid() || m_sinceReport.elapsed() >= kTextIntervalMs;
    }
    if (due)
        report(percent, text);
}

void JobControl::report(int percent, const QString& text)
{
    m_lastPercent = percent;
    m_lastText = text;
    m_sinceClockRead = 0;
    m_sinceReport.start();
    if (m_listener.progress)
        m_listener.progress(percent, text);
}

bool JobControl::isCancelled() const
{
    return m_listener.cancelled && m_listener.cancelled();
}

void JobControl::throwIfCancelled() const
{
    if (isCancelled())
        throw JobCancelled();
}
