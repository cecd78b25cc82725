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
    mutable std::atomic<bool> cancelled = false;
    mutable std::atomic<int> cancelChecks = 0;
    // Cancels at the job's own n-th question whether it was cancelled (negative: never): exactly where
    // the job stands, whatever the machine's load.
    int cancelAtCancelCheck = -1;

    Q_INVOKABLE bool isCancelled() const
    {
        if (cancelAtCancelCheck >= 0 && ++cancelChecks >= cancelAtCancelCheck)
            cancelled = true;
        return cancelled.load();
    }
    bool finished() const { return !successes.isEmpty() || !errors.isEmpty(); }

public slots:
    void updateProgress(const QString& status, int curProgress, const QString& progressText)
    {
        progress.append({status, curProgress, progressText});
    }
    void succeed(const QString& result) { successes << result; }
    void errorOccurred(const QString& text) { errors << text; }
};
