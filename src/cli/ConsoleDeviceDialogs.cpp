#include "ConsoleDeviceDialogs.h"

#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleJobReporter.h"
#include "backup/BackupManifest.h"
#include "device/DeviceDirectory.h"
#include "jobs/JobThread.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <QThread>
#include <exception>

namespace {
const QString kWaitTrust = QStringLiteral("wait-trust");
constexpr int kDefaultTrustWait = 30;
} // namespace

ConsoleDeviceDialogs::ConsoleDeviceDialogs(QTextStream& out, QTextStream& err,
                                           const QCommandLineParser& parser, int trustWaitSeconds)
    : m_out(out), m_err(err), m_parser(parser), m_trustWaitSeconds(trustWaitSeconds)
{
}

ConsoleDeviceDialogs::~ConsoleDeviceDialogs() = default;

void ConsoleDeviceDialogs::addTrustOption(QCommandLineParser& parser)
{
    parser.addOption(
        {kWaitTrust,
         QStringLiteral("While the iPhone does not trust this computer, wait this long (default %1) "
                        "for the user to unlock it and tap Trust.")
             .arg(kDefaultTrustWait),
         QStringLiteral("SECONDS")});
}

bool ConsoleDeviceDialogs::trustWait(const QCommandLineParser& parser, QTextStream& err, int& seconds)
{
    seconds = kDefaultTrustWait;
    if (!parser.isSet(kWaitTrust))
        return true;
    bool ok = false;
    seconds = parser.value(kWaitTrust).toInt(&ok);
    if (!ok || seconds < 0) {
        err << "error: --wait-trust takes a number of seconds\n";
        err.flush();
        return false;
    }
    return true;
}

bool ConsoleDeviceDialogs::askRetryTrust(const QString& udid, const QString&)
{
    // Waiting helps a phone that is there and not trusting yet, not one that is not attached.
    if (!attachedDeviceUdids().contains(udid))
        return false;
    if (!m_trustWaiting.isValid()) {
        m_trustWaiting.start();
        if (m_trustWaitSeconds > 0) {
            m_err << "The iPhone " << udid
                  << " does not let this computer in yet: unlock it and tap \"Trust\" "
                  << "(waiting up to " << m_trustWaitSeconds << " seconds).\n";
            m_err.flush();
        }
    }
    if (m_trustWaiting.elapsed() >= qint64(m_trustWaitSeconds) * 1000)
        return false;
    QThread::sleep(1);
    return true;
}

void ConsoleDeviceDialogs::showError(const JobMessage& message)
{
    m_out.flush();
    m_err << "error: " << message.text << "\n";
    if (!message.link.isEmpty())
        m_err << message.linkText << ": " << message.link << "\n";
    m_err.flush();
}

void ConsoleDeviceDialogs::showRefusal(const BackupSettingsRefusal& refusal)
{
    showError(JobMessage(refusal.text));
}

void ConsoleDeviceDialogs::showNotes()
{
}

void ConsoleDeviceDialogs::passcodeNotice(bool shown)
{
    if (!shown)
        return;
    m_err
        << "\nThe iPhone asks for its passcode: enter it on the iPhone to let the encrypted backup start.\n";
    m_err.flush();
}

std::optional<QString> ConsoleDeviceDialogs::askBackupPassword(BackupManifest& backup)
{
    QString password;
    bool given = false;
    QString error;
    if (!CliPassword::read(m_parser, password, given, error)) {
        showError(error);
        return std::nullopt;
    }
    if (!given) {
        showError(QStringLiteral("the device's backups are encrypted. ") + CliPassword::help());
        return std::nullopt;
    }
    try {
        if (backup.unlock(password))
            return password;
        showError(QStringLiteral("wrong password for the backup %1").arg(backup.path()));
    } catch (const std::exception& failure) {
        showError(QString::fromUtf8(failure.what()));
    }
    return std::nullopt;
}

QObject* ConsoleDeviceDialogs::progressForm()
{
    m_reporter = std::make_unique<ConsoleJobReporter>(m_out, m_err);
    return m_reporter.get();
}

void ConsoleDeviceDialogs::runJob(JobThread& job)
{
    m_lastJobExit = m_reporter ? m_reporter->run(job) : int(CliFailed);
}
