#include "jobs/IOSMobileBackupThread.h"

#include "app/JobReporter.h"
#include "device/PartialBackupRoot.h"
#include "jobs/DeviceJobNotes.h"

IOSMobileBackupThread::IOSMobileBackupThread(bool tutorialNote, PDeviceInfo device, bool keepOtherFiles,
                                             const QString& subFolder, QObject* form, QObject* parent)
    : IOSMobileBackupThread(tutorialNote, std::move(device), keepOtherFiles,
                            PartialBackupRoot::writableRoot(subFolder), form, parent)
{
}

IOSMobileBackupThread::IOSMobileBackupThread(bool tutorialNote, PDeviceInfo device, bool keepOtherFiles,
                                             const QDir& root, QObject* form, QObject* parent)
    : JobThread(form, parent), m_tutorialNote(tutorialNote), m_backup(std::move(device), root, keepOtherFiles)
{
    followPasscodePrompt();
}

QDir IOSMobileBackupThread::partialBackupRoot(const QString& subFolder)
{
    return PartialBackupRoot::partialBackupRoot(subFolder);
}

bool IOSMobileBackupThread::canWriteIn(const QString& folder)
{
    return PartialBackupRoot::canWriteIn(folder);
}

void IOSMobileBackupThread::resetPartialBackupRoot(const QString& subFolder)
{
    PartialBackupRoot::resetPartialBackupRoot(subFolder);
}

void IOSMobileBackupThread::followPasscodePrompt()
{
    // The prompt is announced on the library's thread; the form hears of it through its own queue.
    connect(&m_backup.engine(), &backup2tool::passcodeRequested, this, [this](bool shown) {
        invokeUpdateProgress(
            progressForm(),
            shown ? tr("Please enter your passcode on your iPhone to start the encrypted backup.")
                  : DevicePartialBackup::tr("Loading data from Device..."),
            -1, QString());
        emit passcodeRequested(shown);
    });
}

JobMessage IOSMobileBackupThread::work(JobControl& control)
{
    m_backup.wantedApps = wantedApps;
    m_backup.run(control);
    return JobMessage();
}

JobMessage IOSMobileBackupThread::describeFailure(const QString& errorText) const
{
    return DeviceJobNotes::backupFailure(errorText, m_tutorialNote);
}
