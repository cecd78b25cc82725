#include "jobs/IOSiTunesBKSetPasswordThread.h"

#include "app/JobControl.h"
#include "backup/BackupManifest.h"

IOSiTunesBKSetPasswordThread::IOSiTunesBKSetPasswordThread(BackupManifest* manifest, const QString& password,
                                                           QObject* form, QObject* parent)
    : JobThread(form, parent), m_manifest(manifest), m_password(password)
{
}

JobMessage IOSiTunesBKSetPasswordThread::work(JobControl& control)
{
    m_unlocked = false;
    control.setStatus(tr("Verifying. Please wait..."), 99);
    m_unlocked = m_manifest->unlock(m_password);
    return JobMessage();
}

JobMessage IOSiTunesBKSetPasswordThread::describeFailure(const QString& errorText) const
{
    return QStringLiteral("IOSiTunesBKSetPasswordThread: %1").arg(errorText);
}
