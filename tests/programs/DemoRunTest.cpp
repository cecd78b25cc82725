// scripts/run --demo as a user starts it, with the program told to quit soon after start-up: it prepares
// the simulated iPhone and the encrypted sample backup, runs the program on them and leaves nothing behind.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DemoRunTest, TheDemoStartsTheProgramOnItsOwnDataAndRemovesIt)
{
    QTemporaryDir temp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    env.insert(QStringLiteral("FERROWYN_NO_BUILD"), QStringLiteral("1"));
    env.insert(QStringLiteral("FERROWYN_BUILD_DIR"), QStringLiteral(FERROWYN_BINARY_DIR));
    env.insert(QStringLiteral("FERROWYN_QUIT_AFTER_MS"), QStringLiteral("3000"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu --no-sandbox"));
    env.remove(QStringLiteral("USBMUXD_SOCKET_ADDRESS"));

    QProcess demo;
    demo.setProcessEnvironment(env);
    demo.start(QStringLiteral("bash"),
               {QStringLiteral(FERROWYN_SOURCE_DIR "/scripts/run"), QStringLiteral("--demo")});
    ASSERT_TRUE(demo.waitForStarted());
    ASSERT_TRUE(demo.waitForFinished(240000));
    const QString output = QString::fromUtf8(demo.readAllStandardOutput());
    const QString errors = QString::fromUtf8(demo.readAllStandardError());
    EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(demo.exitCode(), 0) << output.toStdString() << errors.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("password is: ferrowyn-demo"))) << output.toStdString();
    // The private HOME, data folder, phone, socket and backup are gone with the simulator.
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        << QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ').toStdString();
}
