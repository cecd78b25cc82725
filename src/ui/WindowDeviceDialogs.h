#pragma once

#include "jobs/DeviceLoadDialogs.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

class ProgressForm;
class QWidget;

// The main window's answers to the device-load questions: message boxes, the password dialog and modal
// progress forms.
class WindowDeviceDialogs : public DeviceLoadDialogs
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit WindowDeviceDialogs(QWidget* parent);
    ~WindowDeviceDialogs() override;

    bool askRetryTrust(const QString& udid, const QString& errorText) override;
    void showError(const JobMessage& message) override;
    void showRefusal(const BackupSettingsRefusal& refusal) override;
    void showNotes() override;
    void passcodeNotice(bool shown) override;
    std::optional<QString> askBackupPassword(BackupManifest& backup) override;
    QObject* progressForm() override;
    void runJob(JobThread& job) override;

    // The trust prompt's text (also the error after Abort).
    static QString trustText();

private:
    QWidget* m_parent;
    std::unique_ptr<ProgressForm> m_form;
};
