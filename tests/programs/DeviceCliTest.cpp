// ferrowyn-cli's device commands and 'line --device' run as a user would, against a simulated iPhone.
#include "../device/DeviceTestSupport.h"
#include "CliProcess.h"
#include "LineContent.h"

#include <QDir>
#include <QJsonObject>

using namespace iphonesim;

namespace {

class DeviceCliTest : public SimulatorTest
{
protected:
    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = currentPhoneOptions();
        LineFixtureOptions line;
        line.seed = 4;
        line.messages = 40;
        line.users = 4;
        line.chats = 3;
        options.fillLine = [this, line](const LineContainers& containers) {
            m_fixture = fillLineContainers(containers, line);
        };
        return options;
    }

    QString udid() const { return QString::fromStdString(m_udid); }
    QString out() const { return QString::fromStdString(path("backups")); }
    int enabledChats() const
    {
        int enabled = 0;
        for (const LineFixtureChat& chat : m_fixture.chats)
            enabled += chat.enabled;
        return enabled;
    }

    mutable LineFixture m_fixture;
};

TEST_F(DeviceCliTest, ListDescribeBackUpLoadReadAndRestore)
{
    const CliRun before = runCli({"device", "list", "--json"});
    ASSERT_EQ(before.exitCode, 0) << before.err.toStdString();
    ASSERT_EQ(before.objects().size(), 1);
    QJsonObject listed = before.objects().first();
    EXPECT_EQ(listed.value("udid").toString(), udid());
    EXPECT_EQ(listed.value("productVersion").toString(), QStringLiteral("18.6"));
    EXPECT_FALSE(listed.value("paired").toBool()) << "listing asks the phone nothing";

    const CliRun info = runCli({"device", "info", udid(), "--json"});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QJsonObject described = info.objects().value(0);
    EXPECT_TRUE(described.value("lineInstalled").toBool());
    EXPECT_FALSE(described.value("lineHome").toString().isEmpty());
    EXPECT_FALSE(described.value("willEncrypt").toBool());
    EXPECT_FALSE(described.value("cloudBackupEnabled").toBool());
    listed = runCli({"device", "list", "--json"}).objects().value(0);
    EXPECT_TRUE(listed.value("paired").toBool());
    EXPECT_TRUE(listed.value("lineInstalled").toBool());

    const CliRun backup = runCli({"device", "backup", udid(), "--out", out()});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QString folder = QDir(out()).filePath(udid());
    EXPECT_EQ(backup.out.trimmed(), QDir::toNativeSeparators(folder));
    const CliRun opened = runCli({"backup", "info", folder, "--json"});
    ASSERT_EQ(opened.exitCode, 0) << opened.err.toStdString();
    EXPECT_EQ(opened.objects().value(0).value("udid").toString(), udid());
    // With --all-files nothing is thrown away: the folder holds every file of the phone.
    const QString complete = QString::fromStdString(path("complete"));
    ASSERT_EQ(runCli({"device", "backup", udid(), "--out", complete, "--all-files"}).exitCode, 0);
    EXPECT_EQ(compareBackupWithDevice(QDir(complete).filePath(udid()).toStdString(), m_deviceFolder), "");

    const CliRun load = runCli({"device", "load", udid()});
    ASSERT_EQ(load.exitCode, 0) << load.err.toStdString();
    const QString lineFolder = load.out.trimmed().split('\n').last();
    const CliRun chats = runCli({"line", "chats", lineFolder, "--json"});
    ASSERT_EQ(chats.exitCode, 0) << chats.err.toStdString();
    EXPECT_EQ(chats.objects().size(), enabledChats());
    const CliRun messages = runCli({"line", "messages", "--device", udid(), "--json"});
    ASSERT_EQ(messages.exitCode, 0) << messages.err.toStdString();
    EXPECT_EQ(messages.objects().size(), m_fixture.visibleMessages);

    // A file put into the partial backup reaches the phone through a restore of LINE's domains.
    const QString local = QString::fromStdString(path("put.txt"));
    writeFileBytes(local, "restored by ferrowyn-cli");
    ASSERT_EQ(runCli({"backup", "put", folder, "--domain", kLineAppDomain, "--path", "Library/ferrowyn.txt",
                      "--file", local})
                  .exitCode,
              0);
    ASSERT_EQ(
        runCli({"backup", "prune", folder, "--keep", kLineAppDomain, "--keep", kLineGroupDomain}).exitCode,
        0);
    const CliRun restore =
        runCli({"device", "restore", udid(), "--from", out(), "--manifest", "Manifest-line.db"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(readWholeFile(deviceFile(kLineAppDomain, "Library/ferrowyn.txt")), "restored by ferrowyn-cli");
}

TEST_F(DeviceCliTest, FailuresEndWithTheirExitCodes)
{
    const CliRun nothing = runCli({"device", "info", "00000000-0000000000000000", "--wait-trust", "0"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains("No device found.")) << nothing.err.toStdString();
    EXPECT_EQ(runCli({"device", "backup", udid()}).exitCode, 2);
    const QByteArray socket = qgetenv("USBMUXD_SOCKET_ADDRESS");
    qputenv("USBMUXD_SOCKET_ADDRESS", QByteArray("UNIX:") + path("nobody.sock").c_str());
    const CliRun unreachable = runCli({"device", "list"});
    qputenv("USBMUXD_SOCKET_ADDRESS", socket);
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_TRUE(unreachable.err.contains("usbmuxd")) << unreachable.err.toStdString();
    EXPECT_EQ(runCli({"device", "restore", udid(), "--from", out(), "--manifest", "../x"}).exitCode, 1);

    // A folder this program did not make is never replaced.
    writeFileBytes(QDir(out()).filePath(udid() + "/Manifest.plist"), "someone else's backup");
    const CliRun foreign = runCli({"device", "backup", udid(), "--out", out()});
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_EQ(readFileBytes(QDir(out()).filePath(udid() + "/Manifest.plist")),
              QByteArray("someone else's backup"));

    // Encrypted: the password comes from a file; a wrong one stops the load.
    control("set " + m_udid + " BackupPassword secret");
    control("set " + m_udid + " WillEncrypt on");
    const QString passwordFile = QString::fromStdString(path("password"));
    writeFileBytes(passwordFile, "wrong\n");
    control("passcode " + m_udid);
    const CliRun wrong = runCli({"line", "chats", "--device", udid(), "--password-file", passwordFile});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("wrong password")) << wrong.err.toStdString();
    writeFileBytes(passwordFile, "secret\n");
    control("passcode " + m_udid);
    const CliRun right =
        runCli({"line", "chats", "--device", udid(), "--password-file", passwordFile, "--json"});
    ASSERT_EQ(right.exitCode, 0) << right.err.toStdString();
    EXPECT_EQ(right.objects().size(), enabledChats());
    EXPECT_TRUE(right.err.contains("enter it on the iPhone")) << right.err.toStdString();

    // A phone that does not trust the computer.
    control("untrust " + m_udid);
    control("trust " + m_udid + " denied");
    const CliRun denied = runCli({"device", "info", udid(), "--wait-trust", "0"});
    EXPECT_EQ(denied.exitCode, 1);
    EXPECT_TRUE(denied.err.contains("Could not connect to lockdownd")) << denied.err.toStdString();
}

} // namespace
