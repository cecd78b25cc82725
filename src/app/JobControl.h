#pragma once

#include <QElapsedTimer>
#include <QString>
#include <exception>
#include <functional>

// Thrown by JobControl::throwIfCancelled(): the user asked the job to stop. Whoever runs the job ends it
// as cancelled, never as failed or as succeeded.
class JobCancelled : public std::exception
{
public:
    const char* what() const noexcept override { return "cancelled"; }
};

// What a long operation is given to say how far it is and to notice a cancel. The operation reports as
// often as it likes (every item of a loop); the control passes a report on only when the percentage
// changed or, for a changing text, at most every 200 ms, so a million items never flood whoever follows
// the job (a progress form, the console, a test).
class JobControl
{
public:
    // What the follower provides; each member may be left empty.
    struct Listener
    {
        // A new headline; percent is where the bar starts, or -1 to keep its value.
        std::function<void(const QString& status, int percent)> status;
        // percent is 0..100; text is shown beside the bar (empty: the percentage).
        std::function<void(int percent, const QString& text)> progress;
        std::function<bool()> cancelled;
    };

    // Reports nowhere and is never cancelled: for running an operation directly.
    JobControl() = default;
    explicit JobControl(Listener listener);

    // A new headline ("Exporting messages..."), passed on at once, with the bar at percent (-1: kept).
    void setStatus(const QString& status, int percent = -1);
    // done of total items (total <= 0 counts as done), with an optional text beside the bar.
    void setProgress(qint64 done, qint64 total, const QString& text = QString());
    void setPercent(int percent, const QString& text = QString());
    // Like setProgress, but passed on now unless the last report said the same: for the final count.
    void flushProgress(qint64 done, qint64 total, const QString& text = QString());

    bool isCancelled() const;
    // Throws JobCancelled when the user asked to stop.
    void throwIfCancelled() const;

    // Milliseconds between two reports that differ only in their text.
    static constexpr qint64 kTextIntervalMs = 200;

private:
    static int percentOf(qint64 done, qint64 total);
    void report(int percent, const QString& text);

    Listener m_listener;
    int m_lastPercent = -1;
    QString m_lastText;
    unsigned m_sinceClockRead = 0;
    QElapsedTimer m_sinceReport;
};
