#pragma once

#include <QDialog>
#include <atomic>
#include <memory>

class QThread;

namespace Ui {
class ProgressForm;
}

// The modal dialog every job reports to. A job calls the slots updateProgress, succeed and errorOccurred
// by name with automatic connection (JobReporter), so calls from its thread are queued here; it reads
// isCancelled() directly, which is why the flag is atomic. The action that runs a job creates the form
// and the job, starts the job, runs exec() and then calls waitForThread.
class ProgressForm : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressForm(const QString& title, QWidget* parent = nullptr);
    ~ProgressForm() override;

    // True once the dialog finished with result 0 (cancelled by the user, or closed after an error).
    Q_INVOKABLE bool isCancelled() const { return m_cancelled.load(); }
    // A job that asked the user something through tipsWait polls this until the user closed the tips.
    Q_INVOKABLE bool isWaiting() const { return m_waiting.load(); }
    void setWaiting(bool waiting) { m_waiting = waiting; }

    void setCancelEnabled(bool enabled);

    // Waits for thread in steps of one second. When the dialog was cancelled and stopIfCancelled is set,
    // a thread that is still running after the grace period is terminated.
    void waitForThread(QThread* thread, bool stopIfCancelled);
    // Seconds a cancelled job gets to stop by itself before waitForThread terminates it.
    void setTerminateGraceSeconds(int seconds) { m_terminateGraceSeconds = seconds; }

public slots:
    // A non-empty status replaces the headline; a negative curProgress keeps the bar's value; an empty
    // progressText shows "Progress:<value>%".
    void updateProgress(const QString& status, int curProgress, const QString& progressText);
    // Job texts are plain text, escaped here. The error dialog (with its error report), then the form
    // closes with result 0.
    void errorOccurred(const QString& tipsStr);
    // The result in a tips box when it is not empty, then the form closes with result 1.
    void succeed(const QString& result);
    // A link shown under the next result or error.
    void showLink(const QString& address, const QString& text);
    void onFinish(int result);
    // Shows info and clears the waiting flag; the form stays open.
    void tipsWait(const QString& info);
    // Asks for confirmation; on Yes emits userCancel and closes with result 0.
    void cancel();
    void setCancelBtnText(const QString& text);
    // Escape asks like the Cancel button instead of closing behind the running job's back.
    void reject() override;

signals:
    void userCancel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The dialog's rich text for a job's plain text and the pending link.
    QString richTextOf(const QString& plainText);

    std::unique_ptr<Ui::ProgressForm> m_ui;
    QString m_link;
    QString m_linkText;
    std::atomic<bool> m_cancelled = false;
    std::atomic<bool> m_waiting = false;
    bool m_finished = false; // closed since it was last shown: late reports are not shown any more
    int m_terminateGraceSeconds = 10;
};
