#include "QtPrinters.h"

#include "CliCommand.h"
#include "ConsoleJobReporter.h"
#include "app/JobReporter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {
// A job whose body is given by the test; it reports through the form like every real job.
class LambdaJob : public QThread
{
public:
    LambdaJob(QObject* form, std::function<void(const JobReporter&)> body)
        : m_reporter(form), m_body(std::move(body))
    {
    }

protected:
    void run() override { m_body(m_reporter); }

private:
    JobReporter m_reporter;
    std::function<void(const JobReporter&)> m_body;
};

struct Console
{
    QString out;
    QString err;
    QTextStream outStream{&out};
    QTextStream errStream{&err};
};

int runJob(Console& console, bool terminal, std::function<void(const JobReporter&)> body)
{
    ConsoleJobReporter reporter(console.outStream, console.errStream, terminal, 60);
    LambdaJob job(&reporter, std::move(body));
    const int code = reporter.run(job);
    console.outStream.flush();
    console.errStream.flush();
    return code;
}
} // namespace

TEST(ConsoleJobReporterTest, ProgressBarLineFormatsAndFitsTheTerminal)
{
    EXPECT_EQ(ConsoleJobReporter::progressBarLine(QStringLiteral("Copying"), 42, QStringLiteral("3/7"), 80),
              QStringLiteral("[##########--------------]  42% Copying: 3/7"));
    EXPECT_EQ(ConsoleJobReporter::progressBarLine(QString(), 100, QString(), 80),
              QStringLiteral("[########################] 100%"));
    EXPECT_EQ(ConsoleJobReporter::progressBarLine(QString(), -5, QStringLiteral("x"), 80),
              QStringLiteral("[------------------------]   0% x"));
    const QString line =
        ConsoleJobReporter::progressBarLine(QStringLiteral("Status"), 150, QString(200, 'a'), 40);
    EXPECT_EQ(line.size(), 39); // the last column stays free
    EXPECT_TRUE(line.startsWith(QStringLiteral("[########################] 100% Status")));
    // a character outside the BMP is not cut in half at the edge
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(20);
    const QString cut = ConsoleJobReporter::progressBarLine(QString(), 0, emoji, 40);
    EXPECT_FALSE(cut.back().isHighSurrogate());
}

TEST(ConsoleJobReporterTest, SuccessPrintsTheResultAndPlainProgressLines)
{
    Console console;
    const int code = runJob(console, false, [](const JobReporter& reporter) {
        reporter.updateProgress(QStringLiteral("Copying files..."), 0);
        reporter.updateProgress(QString(), 0); // unchanged: no line
        reporter.updateProgress(QString(), 50, QStringLiteral("a & b"));
        reporter.updateProgress(QString(), 100);
        reporter.succeed(QStringLiteral("Copied 2 files to /tmp/x.\nDone."));
    });
    EXPECT_EQ(code, CliOk);
    EXPECT_EQ(console.out, QStringLiteral("Copied 2 files to /tmp/x.\nDone.\n"));
    EXPECT_EQ(console.err, QStringLiteral("Copying files...\n  0%\n 50% a & b\n100%\n"));
}

TEST(ConsoleJobReporterTest, TerminalShowsOneBarRedrawnInPlace)
{
    Console console;
    const int code = runJob(console, true, [](const JobReporter& reporter) {
        reporter.updateProgress(QStringLiteral("Copying"), 10);
        reporter.updateProgress(QString(), 90);
        reporter.succeed(QString());
    });
    EXPECT_EQ(code, CliOk);
    EXPECT_TRUE(console.out.isEmpty());
    EXPECT_TRUE(console.err.startsWith(QStringLiteral("\r[##----------------------]  10% Copying")))
        << console.err;
    EXPECT_EQ(console.err.count(QLatin1Char('\n')), 1); // one line, ended once
    EXPECT_TRUE(console.err.endsWith(QStringLiteral("\n")));
    const QString lastDraw = console.err.mid(console.err.lastIndexOf(QLatin1Char('\r')));
    EXPECT_TRUE(lastDraw.startsWith(QStringLiteral("\r[#####################---]  90% Copying"))) << lastDraw;
    EXPECT_EQ(lastDraw.size(), 1 + 59 + 1); // padded to the width, then the line feed
}

TEST(ConsoleJobReporterTest, ErrorGoesToStandardErrorWithExitCodeOne)
{
    Console console;
    const int code = runJob(console, false, [](const JobReporter& reporter) {
        reporter.errorOccurred(JobMessage(QStringLiteral("Disk <full>.\nNothing was written."),
                                          QStringLiteral("https://example.invalid/help"),
                                          QStringLiteral("Help")));
        reporter.succeed(QStringLiteral("ignored: only the first result counts"));
    });
    EXPECT_EQ(code, CliFailed);
    EXPECT_TRUE(console.out.isEmpty());
    // Job texts are plain: printed as they are, markup characters included; the link on a line of its own.
    EXPECT_EQ(
        console.err,
        QStringLiteral("error: Disk <full>.\nNothing was written.\nHelp: https://example.invalid/help\n"));
}

TEST(ConsoleJobReporterTest, AJobWithoutResultIsAFailure)
{
    Console console;
    EXPECT_EQ(runJob(console, false, [](const JobReporter&) {}), CliFailed);
    EXPECT_EQ(console.err, QStringLiteral("error: the job ended without a result\n"));
}

TEST(ConsoleJobReporterTest, InterruptCancelsTheJobAndTheHandlerIsRestoredAfterwards)
{
    struct sigaction before = {};
    sigaction(SIGINT, nullptr, &before);

    Console console;
    // Ctrl+C arrives while the job runs; the job stops at its next check.
    QTimer::singleShot(20, [] { ::raise(SIGINT); });
    bool sawCancel = false;
    const int code = runJob(console, false, [&sawCancel](const JobReporter& reporter) {
        const QDeadlineTimer limit(30000);
        while (!reporter.isCancelled() && !limit.hasExpired())
            QThread::msleep(2);
        sawCancel = reporter.isCancelled();
    });
    EXPECT_TRUE(sawCancel);
    EXPECT_EQ(code, CliCancelled);
    EXPECT_EQ(console.err, QStringLiteral("cancelled\n"));

    struct sigaction after = {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(ConsoleJobReporterTest, JobTextsAreTranslatedIntoSentences)
{
    Console console;
    const int code = runJob(console, false, [](const JobReporter& reporter) {
        reporter.succeed(
            QCoreApplication::translate("ExtractMediaFilesThread", "IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1")
                .arg(QStringLiteral("/tmp/out")));
    });
    EXPECT_EQ(code, CliOk);
    EXPECT_EQ(console.out, QStringLiteral("Successfully extracted attachments to /tmp/out.\n"));
}
