#pragma once

#include "device/DeviceRestore.h"
#include "jobs/JobThread.h"

// The device restore job: restores root/<udid> onto an attached iPhone (DeviceRestore) on this thread
// for the progress form. Configure with the setters before start(). Success closes the form without a
// message.
class IOSMobileRestoreThread : public JobThread
{
    Q_OBJECT

public:
    IOSMobileRestoreThread(bool tutorialNote, PDeviceInfo device, const QString& rootPath, bool compact,
                           QObject* form, QObject* parent = nullptr);

    void setPassword(const QString& password) { m_restore.setPassword(password); }
    void setManifestDbSubstitute(const QString& name) { m_restore.setManifestDbSubstitute(name); }
    void setRestoreSystemFiles(bool restore) { m_restore.setRestoreSystemFiles(restore); }

    DeviceRestore& restore() { return m_restore; }

protected:
    JobMessage work(JobControl& control) override;
    JobMessage describeFailure(const QString& errorText) const override;

private:
    bool m_tutorialNote;
    DeviceRestore m_restore;
};
