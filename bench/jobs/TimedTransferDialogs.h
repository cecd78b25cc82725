#pragma once

#include "jobs/LineTransferDialogs.h"

#include <QList>
#include <QPair>
#include <QString>

// Answers a flow's questions as a user who agrees to everything would, runs its jobs one after the other
// on their threads and keeps how long each took, so a benchmark can tell where a flow spends its time.
class TimedTransferDialogs : public LineTransferDialogs
{
public:
    explicit TimedTransferDialogs(QString password = {});

    bool askRetryTrust(const QString& udid, const QString& errorText) override;
    void showError(const JobMessage& message) override;
    void showRefusal(const BackupSettingsRefusal& refusal) override;
    void showNotes() override;
    void passcodeNotice(bool shown) override;
    std::optional<QString> askBackupPassword(BackupManifest& backup) override;
    std::optional<QString> askTargetBackupPassword(BackupManifest& backup) override;
    bool confirm(const QString& question) override;
    void showTips(const JobMessage& message) override;
    QObject* progressForm() override;
    void runJob(JobThread& job) override;

    // Each job run, by its class name, with its seconds, in the order they ran.
    const QList<QPair<QString, double>>& jobSeconds() const { return m_jobSeconds; }
    // The errors shown, joined.
    const QString& errors() const { return m_errors; }

private:
    std::optional<QString> unlock(BackupManifest& backup);

    QString m_password;
    QList<QPair<QString, double>> m_jobSeconds;
    QString m_errors;
};
