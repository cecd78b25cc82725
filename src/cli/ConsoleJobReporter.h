#pragma once

#include "CliCommand.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>

class QTextStream;
class QThread;

// The command line's progress form: runs a job thread and shows what it reports, as the command's
// --quiet and --progress and standard error ask (CliProgress): nothing, one bar redrawn in place on a
// terminal, or a plain line per new headline or percentage. At the end the job's success text goes to
// standard output, its error to standard error as "error: ...". Ctrl+C asks the job to stop
// (isCancelled); a second Ctrl+C ends the program. Any command that runs a job uses it:
//
//     ConsoleJobReporter reporter(context);
//     SomeJobThread job(source, target, &reporter);
//     return reporter.run(job);
class ConsoleJobReporter : public QObject
{
    Q_OBJECT

public:
    // The command's streams, progress choice and interrupt.
    explicit ConsoleJobReporter(CliContext& context);
    // A reporter of its own that catches Ctrl+C while run() runs. columns: the width the bar may use.
    ConsoleJobReporter(QTextStream& out, QTextStream& err, CliProgress progress, int columns);
    // terminal: a bar, else lines.
    ConsoleJobReporter(QTextStream& out, QTextStream& err, bool terminal, int columns);
    // A reporter of its own with the default choice: a bar on a terminal, nothing otherwise.
    ConsoleJobReporter(QTextStream& out, QTextStream& err);

    // The success text on standard error instead of standard output (which then carries the data).
    void setResultOnStandardError(bool onError) { m_resultOnError = onError; }

    // Starts job, shows its reports until it ends and returns the exit code: CliOk after success,
    // CliCancelled when it stopped after a cancel request, CliFailed after an error or when it ended
    // without any result.
    int run(QThread& job);

    Q_INVOKABLE bool isCancelled() const { return m_cancelled->load(); }
    // What Ctrl+C does.
    void requestCancel() { *m_cancelled = true; }

    // "[#####-----]  42% status: text", cut to columns - 1 characters.
    static QString progressBarLine(const QString& status, int percent, const QString& text, int columns);

public slots:
    void updateProgress(const QString& status, int curProgress, const QString& progressText);
    void succeed(const QString& result);
    void errorOccurred(const QString& text);
    // The link of the result that follows, printed on a line of its own after it as "text: address".
    void showLink(const QString& address, const QString& text);

private:
    enum class Outcome
    {
        None,
        Succeeded,
        Failed,
    };

    void drawBar(bool force);
    void endBar();

    QTextStream& m_out;
    QTextStream& m_err;
    CliProgress m_progress;
    int m_columns;
    std::atomic<bool> m_ownFlag = false;
    std::atomic<bool>* m_cancelled; // m_ownFlag, or the command's interrupt
    bool m_resultOnError = false;

    QString m_status;
    QString m_text;
    int m_percent = 0;
    int m_printedPercent = -1;
    bool m_barShown = false;
    QElapsedTimer m_sinceDraw;

    Outcome m_outcome = Outcome::None;
    QString m_result;
    QString m_link;
};
