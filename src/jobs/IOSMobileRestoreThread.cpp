#include "jobs/IOSMobileRestoreThread.h"

#include "jobs/DeviceJobNotes.h"

IOSMobileRestoreThread::IOSMobileRestoreThread(bool tutorialNote, PDeviceInfo device, const QString& rootPath,
                                               bool compact, QObject* form, QObject* parent)
    : JobThread(form, parent), m_tutorialNote(tutorialNote),
      m_restore(std::move(device), QDir(rootPath), compact)
{
}

JobMessage IOSMobileRestoreThread::work(JobControl& control)
{
    m_restore.run(control);
    return JobMessage();
}

JobMessage IOSMobileRestoreThread::describeFailure(const QString& errorText) const
{
    return DeviceJobNotes::restoreFailure(errorText, m_tutorialNote);
}
