#include "app/Log.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void createLogFiles(const QDir& dir, int count)
{
    for (int i = 1; i <= count; ++i)
        writeFileBytes(dir.filePath(QStringLiteral("log-202401%1.txt").arg(i, 2, 10, QLatin1Char('0'))), "x");
}
} // namespace

TEST(LogTest, LineFormatsByMessageType)
{
    const QTime time(14, 3, 7);
    EXPECT_EQ(formatLogLine(QtWarningMsg, time, QStringLiteral("abc")), QStringLiteral("(W 14:03:07) abc\n"));
    EXPECT_EQ(formatLogLine(QtDebugMsg, time, QStringLiteral("d")), QStringLiteral("(D 14:03:07) d\n"));
    EXPECT_EQ(formatLogLine(QtCriticalMsg, time, QStringLiteral("c")), QStringLiteral("(C 14:03:07) c\n"));
    EXPECT_EQ(formatLogLine(QtFatalMsg, time, QStringLiteral("f")), QStringLiteral("(F 14:03:07) f\n"));
    EXPECT_EQ(formatLogLine(QtInfoMsg, time, QStringLiteral("i")), QStringLiteral("(14:03:07) i\n"));
}

TEST(LogTest, FileNameCarriesTheLocalDate)
{
    EXPECT_EQ(logFileName(QDate(2024, 1, 5)), QStringLiteral("log-20240105.txt"));
}

TEST(LogTest, PruningKeepsTheNewestTen)
{
    QTemporaryDir dir;
    createLogFiles(QDir(dir.path()), 12);
    QDir(dir.path()).mkdir(QStringLiteral("a-folder"));
    pruneLogFiles(dir.path(), 10);
    const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(left.size(), 10);
    EXPECT_EQ(left.first(), QStringLiteral("log-20240103.txt"));
    EXPECT_TRUE(QDir(dir.path()).exists(QStringLiteral("a-folder")));
}

TEST(LogTest, PruningLeavesExactlyTenAndMissingFolderAlone)
{
    QTemporaryDir dir;
    createLogFiles(QDir(dir.path()), 10);
    pruneLogFiles(dir.path(), 10);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 10);
    pruneLogFiles(QDir(dir.path()).filePath(QStringLiteral("missing")), 10);
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("missing")));
}

TEST(LogTest, HandlerCreatesFolderAndAppendsUtf8Lines)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("qlogs/nested"));
    startLog(folder, 10);
    qWarning("first %s", "line");
    qCritical("%s", QStringLiteral("日本語 ✓").toUtf8().constData());
    qInstallMessageHandler(nullptr);

    const QByteArray log =
        readFileBytes(QDir(folder).filePath(logFileName(QDateTime::currentDateTime().date())));
    const QList<QByteArray> lines = log.split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest after the last line feed
    EXPECT_TRUE(lines[0].startsWith("(W ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(") first line"));
    EXPECT_TRUE(lines[1].startsWith("(C "));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("日本語 ✓").toUtf8())) << lines[1].toStdString();
}

TEST(LogTest, DebugMessagesAlsoGoToStandardOutput)
{
    QTemporaryDir dir;
    startLog(dir.path(), 10);
    ::testing::internal::CaptureStdout();
    qDebug("to both");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    qInstallMessageHandler(nullptr);
    EXPECT_EQ(printed, "to both\n");
    EXPECT_TRUE(
        readFileBytes(QDir(dir.path()).filePath(logFileName(QDate::currentDate()))).contains(") to both\n"));
}
