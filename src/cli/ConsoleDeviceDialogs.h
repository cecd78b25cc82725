#pragma once

#include "jobs/LineTransferDialogs.h"

#include <QElapsedTimer>
#include <memory>

class ConsoleJobReporter;
class QCommandLineParser;
class QTextStream;

// How ferrowyn-cli answers the device-load and transfer questions: the trust question is retried once a
// second for a while (the user taps Trust on the iPhone meanwhile), the backup password comes from the
// password options (a target backup's from --target-password-file when set), a confirmation is --yes or
// asked on a terminal (refused otherwise), notices go to standard error, results to standard output, and
// jobs run with the console progress bar.
class ConsoleDeviceDialogs : public LineTransferDialogs
{
public:
    // trustWaitSeconds: how long to keep asking the device to trust the computer.
    ConsoleDeviceDialogs(QTextStream& out, QTextStream& err, const QCommandLineParser& parser,
                         int trustWaitSeconds);
    ~ConsoleDeviceDialogs() override;

    // --wait-trust SECONDS, shared by the commands that connect to a device.
    static void addTrustOption(QCommandLineParser& parser);
    // Its value (default 30); false with a message when it is not a number of seconds.
    static bool trustWait(const QCommandLineParser& parser, QTextStream& err, int& seconds);

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

    // Confirmations answered yes without asking (--yes).
    void setAssumeYes(bool yes) { m_assumeYes = yes; }
    // The file whose first line is a target backup's password; empty: the password options.
    void setTargetPasswordFile(const QString& file) { m_targetPasswordFile = file; }

    // Whether a confirmation was answered no (or could not be asked).
    bool declined() const { return m_declined; }

    // The exit code of the last job run (CliOk, CliFailed, CliCancelled).
    int lastJobExit() const { return m_lastJobExit; }

private:
    QTextStream& m_out;
    QTextStream& m_err;
    const QCommandLineParser& m_parser;
    int m_trustWaitSeconds;
    QElapsedTimer m_trustWaiting;
    std::unique_ptr<ConsoleJobReporter> m_reporter;
    int m_lastJobExit = 0;
    bool m_assumeYes = false;
    bool m_declined = false;
    QString m_targetPasswordFile;

    std::optional<QString> unlockWith(BackupManifest& backup, const QString& password);
};
