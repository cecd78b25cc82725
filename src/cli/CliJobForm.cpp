#include "CliJobForm.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

bool CliJobForm::runJob(QThread& job)
{
    QEventLoop loop;
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    job.start();
    loop.exec();
    job.wait();
    QCoreApplication::processEvents(); // the reports queued before the thread finished
    return m_succeeded && m_error.isEmpty();
}

void CliJobForm::updateProgress(const QString& status, int, const QString& progressText)
{
    if (!status.isEmpty())
        m_err << status << "\n";
    if (!progressText.isEmpty())
        m_err << "  " << progressText << "\n";
    m_err.flush();
}

void CliJobForm::succeed(const QString& result)
{
    m_succeeded = true;
    if (!result.isEmpty())
        m_err << result << "\n";
}

void CliJobForm::errorOccurred(const QString& text)
{
    m_error = text;
}
