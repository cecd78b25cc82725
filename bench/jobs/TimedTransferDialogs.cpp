#include "TimedTransferDialogs.h"

#include "backup/BackupManifest.h"
#include "jobs/JobThread.h"

#include <QElapsedTimer>

TimedTransferDialogs::TimedTransferDialogs(QString password) : m_password(std::move(password))
{
}

bool TimedTransferDialogs::askRetryTrust(const QString&, const QString& errorText)
{
    m_errors += errorText + QLatin1Char('\n');
    return false;
}

void TimedTransferDialogs::showError(const JobMessage& message)
{
    m_errors += message.text + QLatin1Char('\n');
}

void TimedTransferDialogs::showRefusal(const BackupSettingsRefusal& refusal)
{
    m_errors += refusal.text + QLatin1Char('\n');
}

void TimedTransferDialogs::showNotes()
{
}

void TimedTransferDialogs::passcodeNotice(bool)
{
}

std::optional<QString> TimedTransferDialogs::askBackupPassword(BackupManifest& backup)
{
    return unlock(backup);
}

std::optional<QString> TimedTransferDialogs::askTargetBackupPassword(BackupManifest& backup)
{
    return unlock(backup);
}

std::optional<QString> TimedTransferDialogs::unlock(BackupManifest& backup)
{
    QElapsedTimer timer;
    timer.start();
    const bool unlocked = !m_password.isEmpty() && backup.unlock(m_password);
    m_jobSeconds.append({QStringLiteral("unlock (password)"), double(timer.nsecsElapsed()) / 1e9});
    if (!unlocked)
        return std::nullopt;
    return m_password;
}

bool TimedTransferDialogs::confirm(const QString&)
{
    return true;
}

void TimedTransferDialogs::showTips(const JobMessage&)
{
}

QObject* TimedTransferDialogs::progressForm()
{
    return nullptr;
}

void TimedTransferDialogs::runJob(JobThread& job)
{
    QElapsedTimer timer;
    timer.start();
    job.start();
    job.wait();
    m_jobSeconds.append(
        {QString::fromLatin1(job.metaObject()->className()), double(timer.nsecsElapsed()) / 1e9});
    if (!job.succeeded() && !job.cancelled())
        m_errors += job.errorText() + QLatin1Char('\n');
}
