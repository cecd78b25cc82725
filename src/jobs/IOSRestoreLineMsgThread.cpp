#include "jobs/IOSRestoreLineMsgThread.h"

IOSRestoreLineMsgThread::IOSRestoreLineMsgThread(PDeviceInfo device, PAbsLineMsgsSource source, QObject* form,
                                                 QObject* parent)
    : IOSRestoreLineMsgThread(device, lineCacheDir(*device), std::move(source), form, parent)
{
}

IOSRestoreLineMsgThread::IOSRestoreLineMsgThread(PDeviceInfo device, const QString& appRoot,
                                                 PAbsLineMsgsSource source, QObject* form, QObject* parent)
    : JobThread(form, parent), m_merge(std::move(device), appRoot, std::move(source))
{
}

JobMessage IOSRestoreLineMsgThread::work(JobControl& control)
{
    m_merge.run(control);
    return JobMessage();
}

JobMessage IOSRestoreLineMsgThread::describeFailure(const QString& errorText) const
{
    return tr("Please restart your phone to try again.") + QStringLiteral("\n\n") + errorText;
}
