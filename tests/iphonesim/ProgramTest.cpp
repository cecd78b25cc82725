// The iphonesim program: serve with the control socket and standard input, control, generate.
#include "DeviceSettings.h"
#include "SimTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

QString program()
{
    return QStringLiteral(IPHONESIM_PROGRAM);
}

QString runToEnd(const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAll());
}

TEST(ProgramTest, GenerateServeControlAndQuit)
{
    QTemporaryDir temp;
    const QString root = temp.path();
    int exitCode = -1;
    const QString generated = runToEnd({"generate", root + "/device", "--files", "20", "--bytes", "100000",
                                        "--line-files", "4", "--seed", "9"},
                                       &exitCode);
    ASSERT_EQ(exitCode, 0) << generated.toStdString();
    const QString udid = generated.split(' ').first();

    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start(program(), {"serve", "--socket", root + "/mux.sock", "--control", root + "/control.sock",
                             "--device", root + "/device", "--stdin"});
    ASSERT_TRUE(server.waitForStarted());
    QByteArray output;
    while (!output.contains("ready") && server.waitForReadyRead(10000))
        output += server.readAllStandardOutput();
    ASSERT_TRUE(output.contains("attached " + udid.toUtf8())) << output.toStdString();

    const QString listed = runToEnd({"control", "--control", root + "/control.sock", "list"}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(listed.trimmed(), "OK " + udid);
    const QString refused =
        runToEnd({"control", "--control", root + "/control.sock", "fault", udid, "melt"}, &exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(refused.startsWith("ERR unknown fault")) << refused.toStdString();

    server.write("detach " + udid.toUtf8() + "\n");
    while (!output.contains("OK\n") && server.waitForReadyRead(10000))
        output += server.readAllStandardOutput();
    server.write("quit\n");
    ASSERT_TRUE(server.waitForFinished(20000));
    output += server.readAllStandardOutput();
    EXPECT_EQ(server.exitCode(), 0);
    EXPECT_TRUE(output.contains("stopped"));
    EXPECT_FALSE(fs::exists((root + "/mux.sock").toStdString()));
    EXPECT_FALSE(fs::exists((root + "/control.sock").toStdString()));
}

TEST(ProgramTest, ClosedStandardInputEndsTheServer)
{
    QTemporaryDir temp;
    QProcess server;
    server.start(program(), {"serve", "--socket", temp.path() + "/mux.sock", "--stdin"});
    ASSERT_TRUE(server.waitForStarted());
    QByteArray output;
    while (!output.contains("ready") && server.waitForReadyRead(10000))
        output += server.readAllStandardOutput();
    server.closeWriteChannel();
    EXPECT_TRUE(server.waitForFinished(20000));
    EXPECT_FALSE(fs::exists((temp.path() + "/mux.sock").toStdString()));
}

TEST(ProgramTest, GenerateWritesLinesStoreAndTheBackupEncryptionSettings)
{
    QTemporaryDir temp;
    int exitCode = -1;
    const QString generated = runToEnd({"generate", temp.path() + "/device", "--files", "4",
                                        "--line-messages", "20", "--will-encrypt", "--backup-password", "pw",
                                        "--keybag-iterations", "12", "--keybag-dp-iterations", "34"},
                                       &exitCode);
    ASSERT_EQ(exitCode, 0) << generated.toStdString();
    int stores = 0;
    const fs::path group =
        (temp.path() + "/device/files/AppDomainGroup-group.com.linecorp.line").toStdString();
    for (const auto& entry : fs::recursive_directory_iterator(group))
        stores += entry.path().filename() == "Line.sqlite";
    EXPECT_EQ(stores, 1);
    const auto settings =
        iphonesim::DeviceSettings::load((temp.path() + "/device/settings.plist").toStdString());
    EXPECT_TRUE(settings.willEncrypt);
    EXPECT_EQ(settings.backupPassword, "pw");
    EXPECT_EQ(settings.keybagIterations, 12u);
    EXPECT_EQ(settings.keybagDataProtectionIterations, 34u);
    runToEnd({"generate", temp.path() + "/other", "--keybag-iterations", "0"}, &exitCode);
    EXPECT_EQ(exitCode, 2);
    runToEnd({"generate", temp.path() + "/other", "--line-chats", "0"}, &exitCode);
    EXPECT_EQ(exitCode, 2);
}

TEST(ProgramTest, BadArgumentsAreRefused)
{
    int exitCode = 0;
    runToEnd({"serve"}, &exitCode);
    EXPECT_EQ(exitCode, 2);
    runToEnd({"generate", "/tmp/x", "--files", "many"}, &exitCode);
    EXPECT_EQ(exitCode, 2);
    runToEnd({"dance"}, &exitCode);
    EXPECT_EQ(exitCode, 2);
}

} // namespace
