#include "CliProcess.h"
#include "app/AppInfo.h"

#include <QProcess>
#include <gtest/gtest.h>

TEST(CliTest, VersionPrintsTheProgramVersion)
{
    const CliRun run = runCli({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("ferrowyn-cli ") + AppInfo::version + QStringLiteral("\n"));
}

TEST(CliTest, HelpAtTopLevelSucceedsOnStandardOutput)
{
    for (const QString& form : {QStringLiteral("--help"), QStringLiteral("help"), QStringLiteral("-h")}) {
        const CliRun run = runCli({form});
        EXPECT_EQ(run.exitCode, 0) << form.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: ferrowyn-cli <group> <command>")))
            << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty() || !run.err.contains(QStringLiteral("error")));
    }
}

TEST(CliTest, MissingOrUnknownArgumentsAreUsageErrorsOnStandardError)
{
    CliRun run = runCli({});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("Usage:")));

    run = runCli({QStringLiteral("no-such-group")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("unknown group 'no-such-group'"))) << run.err.toStdString();
}
