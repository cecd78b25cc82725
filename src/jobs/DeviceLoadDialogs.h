#pragma once

#include "app/JobMessage.h"
#include "device/DeviceBackupSettings.h"

#include <QString>
#include <optional>

class BackupManifest;
class JobThread;
class QObject;

// The questions and notices of taking LINE's data from a device, and how its jobs are shown: the main
// window answers with dialogs and progress forms, ferrowyn-cli on the console.
class DeviceLoadDialogs
{
public:
    virtual ~DeviceLoadDialogs();

    // The device did not let the computer in (not trusted yet, locked): true when the user tapped Trust
    // on the iPhone and wants to check again, false to give up.
    virtual bool askRetryTrust(const QString& udid, const QString& errorText) = 0;
    // A failure the sequence itself reports (jobs report theirs through their progress form).
    virtual void showError(const JobMessage& message) = 0;
    // The device's backup settings stop the load.
    virtual void showRefusal(const BackupSettingsRefusal& refusal) = 0;
    // Before the device is read: enter the passcode first, LINE must be installed and logged in.
    virtual void showNotes() = 0;
    // The device shows (true) or stopped showing its passcode prompt, which an encrypted backup waits for.
    virtual void passcodeNotice(bool shown) = 0;
    // A password that unlocks the encrypted backup (unlocked with it), or nothing when the user gives up.
    virtual std::optional<QString> askBackupPassword(BackupManifest& backup) = 0;

    // The object the next job reports to (a progress form); valid until runJob returned.
    virtual QObject* progressForm() = 0;
    // Starts job (made for progressForm()), shows its progress until it ended and waits for its thread.
    virtual void runJob(JobThread& job) = 0;
};
