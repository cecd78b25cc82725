#pragma once

#include <QObject>
#include <QString>
#include <QTextStream>

class QThread;

// The command line's progress form: prints a job's headlines and its error, and remembers the outcome.
// Jobs call its slots by name (JobReporter), queued to the main thread.
class CliJobForm : public QObject
{
    Q_OBJECT

public:
    explicit CliJobForm(QTextStream& err) : m_err(err) {}

    // Starts the job, delivers its reports until it has finished, and returns whether it succeeded.
    bool runJob(QThread& job);

    const QString& errorText() const { return m_error; }
    Q_INVOKABLE bool isCancelled() const { return false; }

public slots:
    void updateProgress(const QString& status, int progress, const QString& progressText);
    void succeed(const QString& result);
    void errorOccurred(const QString& text);

private:
    QTextStream& m_err;
    bool m_succeeded = false;
    QString m_error;
};
