#include "app/JobReporter.h"

#include "RecordingProgressForm.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

TEST(JobReporterTest, CallsFromAJobThreadArriveQueuedInOrder)
{
    RecordingProgressForm form;
    QThread* job = QThread::create([&form] {
        JobReporter reporter(&form);
        reporter.updateProgress(QStringLiteral("Working"), 10);
        reporter.updateProgress(QString(), 50, QStringLiteral("half"));
        reporter.succeed(QStringLiteral("done"));
    });
    job->start();
    job->wait();
    EXPECT_TRUE(form.progress.isEmpty()); // nothing runs on the job's thread
    QCoreApplication::processEvents();
    ASSERT_EQ(form.progress.size(), 2);
    EXPECT_EQ(form.progress[0].status, QStringLiteral("Working"));
    EXPECT_EQ(form.progress[1].progress, 50);
    EXPECT_EQ(form.progress[1].text, QStringLiteral("half"));
    EXPECT_EQ(form.successes, QStringList{QStringLiteral("done")});
    delete job;
}

TEST(JobReporterTest, CancelIsReadDirectlyAndMissingFormIsHarmless)
{
    RecordingProgressForm form;
    JobReporter reporter(&form);
    EXPECT_FALSE(reporter.isCancelled());
    form.cancelled = true;
    EXPECT_TRUE(reporter.isCancelled());

    JobReporter none(nullptr);
    none.updateProgress(QStringLiteral("x"), 1);
    none.errorOccurred(QStringLiteral("e"));
    EXPECT_FALSE(none.isCancelled());
}
