#pragma once

#include <QObject>
#include <QStringList>
#include <atomic>

// A progress form for job tests: records every report and can ask for a cancel.
class RecordingProgressForm : public QObject
{
    Q_OBJECT

public:
    struct Progress
    {
        QString status;
        int progress;
        QString text;
    };

    QList<Progress> progress;
    QStringList successes;
    QStringList errors;
    std::atomic<bool> cancelled = false;
    // Cancels when the job reports this many progress steps (negative: never).
    int cancelAfterProgressCalls = -1;

    Q_INVOKABLE bool isCancelled() const { return cancelled.load(); }
    bool finished() const { return !successes.isEmpty() || !errors.isEmpty(); }

public slots:
    void updateProgress(const QString& status, int curProgress, const QString& progressText)
    {
        progress.append({status, curProgress, progressText});
        if (cancelAfterProgressCalls >= 0 && progress.size() >= cancelAfterProgressCalls)
            cancelled = true;
    }
    void succeed(const QString& result) { successes << result; }
    void errorOccurred(const QString& text) { errors << text; }
};
