#pragma once

#include "jobs/DeviceLoadDialogs.h"

#include <QElapsedTimer>
#include <memory>

class ConsoleJobReporter;
class QCommandLineParser;
class QTextStream;

// How ferrowyn-cli answers the device-load questions: the trust question is retried once a second for
// a while (the user taps Trust on the iPhone meanwhile), the backup password comes from the password
// options, notices go to standard error and jobs run with the console progress bar.
class ConsoleDeviceDialogs : public DeviceLoadDialogs
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
    QObject* progressForm() override;
    void runJob(JobThread& job) override;

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
};
