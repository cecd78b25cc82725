#pragma once

#include "device/DevicePartialBackup.h"
#include "jobs/JobThread.h"

#include <QDir>
#include <QStringList>

// The device backup job: a partial backup of an attached iPhone (DevicePartialBackup) on this thread for
// the progress form, into the partial backup folder of a sub-folder ("line") or a folder the creator
// names. Success closes the form without a message; the backup is then in backupRoot()/<udid>.
class IOSMobileBackupThread : public JobThread
{
    Q_OBJECT

public:
    // Into partialBackupRoot(subFolder), chosen afresh when it is not writable.
    IOSMobileBackupThread(bool tutorialNote, PDeviceInfo device, bool keepOtherFiles,
                          const QString& subFolder, QObject* form, QObject* parent = nullptr);
    // Into root.
    IOSMobileBackupThread(bool tutorialNote, PDeviceInfo device, bool keepOtherFiles, const QDir& root,
                          QObject* form, QObject* parent = nullptr);

    // Bundle identifiers whose files are kept; set before start().
    QStringList wantedApps;

    QDir backupRoot() const { return m_backup.root(); }
    DevicePartialBackup& backup() { return m_backup; }

    static QDir partialBackupRoot(const QString& subFolder);
    static bool canWriteIn(const QString& folder);
    static void resetPartialBackupRoot(const QString& subFolder);

signals:
    // The device shows (true) or stopped showing its passcode prompt, which an encrypted backup waits for.
    void passcodeRequested(bool shown);

protected:
    JobMessage work(JobControl& control) override;
    JobMessage describeFailure(const QString& errorText) const override;

private:
    void followPasscodePrompt();

    bool m_tutorialNote;
    DevicePartialBackup m_backup;
};
