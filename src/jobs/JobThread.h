#pragma once

#include "app/JobMessage.h"

#include <QObject>
#include <QThread>

class JobControl;

// The one shape of a background job. The work is a plain class of its subsystem that takes a JobControl;
// a JobThread runs it on its own thread with a control wired to the progress form's by-name protocol
// (JobReporter) and reports how it ended: its message after success, the error's text after a failure,
// nothing after a cancel. A subclass only passes its arguments on in work():
//
//     JobMessage work(JobControl& control) override
//     {
//         const auto result = MediaExtractor(m_source, m_folder).run(control);
//         return tr("IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1").arg(m_folder);
//     }
class JobThread : public QThread
{
    Q_OBJECT

public:
    enum class Outcome
    {
        NotRun,
        Succeeded,
        Failed,
        Cancelled,
    };

    // Read after the thread finished.
    Outcome outcome() const { return m_outcome; }
    bool succeeded() const { return m_outcome == Outcome::Succeeded; }
    bool cancelled() const { return m_outcome == Outcome::Cancelled; }
    // The text reported after a failure.
    QString errorText() const { return m_error.text; }

protected:
    explicit JobThread(QObject* progressForm, QObject* parent = nullptr);

    // Does the work on this thread. Returns what to tell the user (an empty message: nothing, the form
    // just closes); throws std::runtime_error with a text for the user, or JobCancelled.
    virtual JobMessage work(JobControl& control) = 0;
    // Turns a failure's text into what the user reads (advice added, say); the text by default.
    virtual JobMessage describeFailure(const QString& errorText) const;

    QObject* progressForm() const { return m_progressForm; }

private:
    void run() final;

    QObject* m_progressForm;
    Outcome m_outcome = Outcome::NotRun;
    JobMessage m_error;
};
