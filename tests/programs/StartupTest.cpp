#include "app/AppInfo.h"
#include "app/Log.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool waitForText(const QString& path, const QByteArray& text, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (readAll(path).contains(text))
            return true;
        QThread::msleep(50);
    }
    return false;
}
} // namespace

TEST(StartupTest, FirstStartCreatesDataFolderAndTodaysLogAndQuitsCleanly)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The window's web view, as scripts/run starts it: its sandbox refuses to run as root, and there is no
    // GPU.
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu --no-sandbox"));

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(FERROWYN_EXE), {});
    ASSERT_TRUE(program.waitForStarted());

    const QString dataDir = home.path() + QStringLiteral("/.local/share/Vantorel/") + AppInfo::productId;
    const QString log = dataDir + QStringLiteral("/qlogs/") + logFileName(QDate::currentDate());
    ASSERT_TRUE(waitForText(log, ") Ferrowyn started\n", 30000)) << readAll(log).toStdString();
    EXPECT_TRUE(QDir(dataDir).exists());

    program.terminate(); // SIGTERM: the event loop ends as if the window had been closed
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(readAll(log).contains(") Ferrowyn exits with 0\n")) << readAll(log).toStdString();
}
