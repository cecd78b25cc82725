#pragma once

#include "jobs/LineTransferDialogs.h"
#include "ui/WindowDeviceDialogs.h"

#include <QHash>

class QWidget;

// The main window's answers to the transfer flows' questions: the device-load answers of
// WindowDeviceDialogs, yes/no message boxes for the confirmations, tips for the notices and the password
// dialog for a target backup. Passwords that unlocked a backup are remembered (in memory only, by backup
// folder) and tried first the next time the same backup is opened.
class WindowTransferDialogs : public LineTransferDialogs
{
public:
    WindowTransferDialogs(QWidget* parent, QHash<QString, QString>& passwords);
    ~WindowTransferDialogs() override;

    bool askRetryTrust(const QString& udid, const QString& errorText) override;
    void showError(const JobMessage& message) override;
    void showRefusal(const BackupSettingsRefusal& refusal) override;
    void showNotes() override;
    void passcodeNotice(bool shown) override;
    std::optional<QString> askBackupPassword(BackupManifest& backup) override;
    QObject* progressForm() override;
    void runJob(JobThread& job) override;
    std::optional<QString> askTargetBackupPassword(BackupManifest& backup) override;
    bool confirm(const QString& question) override;
    void showTips(const JobMessage& message) override;

    // How many confirmations were answered with No.
    int declined() const { return m_declined; }

private:
    std::optional<QString> askPassword(BackupManifest& backup);

    QWidget* m_parent;
    QHash<QString, QString>& m_passwords;
    WindowDeviceDialogs m_device;
    int m_declined = 0;
};
