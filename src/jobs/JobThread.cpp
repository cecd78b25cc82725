#include "jobs/JobThread.h"

#include "app/JobControl.h"
#include "app/JobReporter.h"

#include <exception>

JobThread::JobThread(QObject* progressForm, QObject* parent) : QThread(parent), m_progressForm(progressForm)
{
}

JobMessage JobThread::describeFailure(const QString& errorText) const
{
    return JobMessage(errorText);
}

void JobThread::run()
{
    const JobReporter reporter(m_progressForm);
    JobControl control = reporter.control();
    m_outcome = Outcome::NotRun;
    m_error = JobMessage();
    try {
        const JobMessage result = work(control);
        m_outcome = Outcome::Succeeded;
        reporter.succeed(result);
    } catch (const JobCancelled&) {
        m_outcome = Outcome::Cancelled;
    } catch (const std::exception& error) {
        m_outcome = Outcome::Failed;
        m_error = describeFailure(QString::fromUtf8(error.what()));
        reporter.errorOccurred(m_error);
    }
}
