#include "ModalCloser.h"
#include "QtPrinters.h"

#include "app/JobReporter.h"
#include "ui/ProgressForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>

namespace {
QString statusText(ProgressForm& form)
{
    return form.findChild<QLabel*>(QStringLiteral("lbStatus"))->text();
}
QString progressText(ProgressForm& form)
{
    return form.findChild<QLabel*>(QStringLiteral("lbProgress"))->text();
}
int barValue(ProgressForm& form)
{
    return form.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value();
}
QPushButton* cancelButton(ProgressForm& form)
{
    return form.findChild<QPushButton*>(QStringLiteral("btnCancel"));
}

// A job that reports through the form's slots by name, like every real job.
class ReportingJob : public QThread
{
public:
    explicit ReportingJob(QObject* form) : m_form(form) {}

protected:
    void run() override
    {
        const JobReporter reporter(m_form);
        reporter.updateProgress(QStringLiteral("Working"), 10);
        reporter.updateProgress(QString(), 60, QStringLiteral("item 6/10"));
        reporter.succeed(QString());
    }

private:
    QObject* m_form;
};

// A job that runs until it sees the cancel flag (or is told to stop), or ignores it altogether.
class LoopingJob : public QThread
{
public:
    LoopingJob(QObject* form, bool honoursCancel) : m_reporter(form), m_honoursCancel(honoursCancel) {}
    std::atomic<bool> stop = false;
    std::atomic<bool> endedNormally = false;

protected:
    void run() override
    {
        setTerminationEnabled(true);
        while (!stop && !(m_honoursCancel && m_reporter.isCancelled()))
            QThread::msleep(5);
        endedNormally = true;
    }

private:
    JobReporter m_reporter;
    bool m_honoursCancel;
};
} // namespace

TEST(ProgressFormTest, StartsWithTheTitleAnEmptyBarAndAnUnfocusableCancelButton)
{
    ProgressForm form(QStringLiteral("Title"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Title"));
    EXPECT_EQ(statusText(form), QStringLiteral("Title"));
    EXPECT_EQ(barValue(form), 0);
    EXPECT_EQ(form.size(), QSize(350, 122));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(cancelButton(form)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(cancelButton(form)->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(form.isCancelled());
}

TEST(ProgressFormTest, UpdateProgressKeepsWhatItIsNotGiven)
{
    ProgressForm form(QStringLiteral("Title"));
    form.updateProgress(QStringLiteral("Loading"), 40, QString());
    EXPECT_EQ(statusText(form), QStringLiteral("Loading"));
    EXPECT_EQ(barValue(form), 40);
    EXPECT_EQ(progressText(form), QStringLiteral("Progress:40%"));

    form.updateProgress(QString(), -1, QString());
    EXPECT_EQ(statusText(form), QStringLiteral("Loading"));
    EXPECT_EQ(barValue(form), 40);
    EXPECT_EQ(progressText(form), QStringLiteral("Progress:40%"));

    form.updateProgress(QString(), 55, QStringLiteral("file 3"));
    EXPECT_EQ(barValue(form), 55);
    EXPECT_EQ(progressText(form), QStringLiteral("file 3"));

    form.updateProgress(QString(), 250, QString());
    EXPECT_EQ(barValue(form), 100);
    form.updateProgress(QString(), 0, QString());
    EXPECT_EQ(barValue(form), 0);
    EXPECT_EQ(progressText(form), QStringLiteral("Progress:0%"));

    // Shown, a text wider than the form is shortened in the middle; the tool tip keeps all of it.
    form.show();
    const QString longText =
        QStringLiteral("Team: ") + QStringLiteral("Alice, Bob, Carol, ").repeated(20) + "Zed";
    form.updateProgress(QString(), 10, longText);
    const QLabel* label = form.findChild<QLabel*>(QStringLiteral("lbProgress"));
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Team: "))) << label->text().toStdString();
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("Zed"))) << label->text().toStdString();
    EXPECT_EQ(label->toolTip(), longText);
}

TEST(ProgressFormTest, JobReportsArriveFromItsThreadAndSuccessAcceptsWithoutMessage)
{
    ProgressForm form{QString()};
    ModalCloser closer;
    closer.ignore(&form);
    ReportingJob job(&form);
    job.start();
    EXPECT_EQ(form.exec(), 1);
    form.waitForThread(&job, true);
    EXPECT_EQ(statusText(form), QStringLiteral("Working"));
    EXPECT_EQ(barValue(form), 60);
    EXPECT_EQ(progressText(form), QStringLiteral("item 6/10"));
    EXPECT_FALSE(form.isCancelled());
    EXPECT_TRUE(closer.texts.isEmpty()); // an empty success text shows nothing
}

TEST(ProgressFormTest, SuccessTextIsShownAsTipsThenTheFormAccepts)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("OK")});
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] { invokeSucceed(&form, QStringLiteral("Done: 3 files.")); });
    EXPECT_EQ(form.exec(), 1);
    EXPECT_EQ(closer.texts, QStringList{QStringLiteral("Done: 3 files.")});
    EXPECT_FALSE(form.isCancelled());
}

TEST(ProgressFormTest, ErrorShowsTheErrorDialogAndClosesAsCancelled)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("OK")});
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] { invokeErrorOccurred(&form, QStringLiteral("no space left")); });
    EXPECT_EQ(form.exec(), 0);
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts.first().contains(QStringLiteral("An Error Occurred.")));
    EXPECT_TRUE(closer.texts.first().contains(QStringLiteral("no space left")));
    EXPECT_TRUE(form.isCancelled());
}

TEST(ProgressFormTest, JobTextsArePlainTextAndALinkIsShownUnderThem)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("OK")});
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] {
        JobReporter(&form).errorOccurred(JobMessage(QStringLiteral("Folder <b>x</b> & co\nnext"),
                                                    QStringLiteral("https://example.invalid/a?b=1&c=2"),
                                                    QStringLiteral("the <guide>")));
    });
    EXPECT_EQ(form.exec(), 0);
    ASSERT_EQ(closer.texts.size(), 1);
    const QString shown = closer.texts.first();
    EXPECT_TRUE(shown.contains(QStringLiteral("Folder &lt;b&gt;x&lt;/b&gt; &amp; co<br/>next")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(
        QStringLiteral("<a href=\"https://example.invalid/a?b=1&amp;c=2\">the &lt;guide&gt;</a>")))
        << shown.toStdString();
}

TEST(ProgressFormTest, CancelAnsweredNoKeepsTheFormOpenAndTheJobRunning)
{
    ProgressForm form{QString()};
    QSignalSpy userCancel(&form, &ProgressForm::userCancel);
    ModalCloser closer({QStringLiteral("No")});
    closer.ignore(&form);
    LoopingJob job(&form, true);
    job.start();
    bool openAfterNo = false;
    bool runningAfterNo = false;
    QTimer::singleShot(0, &form, [&] {
        cancelButton(form)->click(); // returns once the question was answered
        openAfterNo = form.isVisible();
        runningAfterNo = job.isRunning();
        job.stop = true;
        invokeSucceed(&form, QString());
    });
    EXPECT_EQ(form.exec(), 1);
    form.waitForThread(&job, true);
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(runningAfterNo);
    EXPECT_EQ(closer.texts, QStringList{QStringLiteral("Are You Sure You Want To Cancel?")});
    EXPECT_EQ(userCancel.count(), 0);
    EXPECT_FALSE(form.isCancelled());
    EXPECT_TRUE(job.endedNormally);
}

TEST(ProgressFormTest, CancelAnsweredYesSignalsAndTheJobSeesTheFlag)
{
    ProgressForm form{QString()};
    QSignalSpy userCancel(&form, &ProgressForm::userCancel);
    ModalCloser closer({QStringLiteral("Yes")});
    closer.ignore(&form);
    LoopingJob job(&form, true);
    job.start();
    QTimer::singleShot(0, &form, [&form] { cancelButton(form)->click(); });
    EXPECT_EQ(form.exec(), 0);
    form.waitForThread(&job, true);
    EXPECT_EQ(userCancel.count(), 1);
    EXPECT_TRUE(form.isCancelled());
    EXPECT_TRUE(job.endedNormally); // stopped by itself, not terminated
}

TEST(ProgressFormTest, EscapeAsksLikeTheCancelButton)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("No")});
    closer.ignore(&form);
    bool openAfterEscape = false;
    QTimer::singleShot(0, &form, [&form, &openAfterEscape] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form, &escape);
        openAfterEscape = form.isVisible();
        invokeSucceed(&form, QString());
    });
    EXPECT_EQ(form.exec(), 1);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(closer.answered, QStringList{QStringLiteral("No")});
}

TEST(ProgressFormTest, AJobThatIgnoresCancelIsTerminatedByWaitForThread)
{
    ProgressForm form{QString()};
    form.setTerminateGraceSeconds(1);
    ModalCloser closer({QStringLiteral("Yes")});
    closer.ignore(&form);
    LoopingJob job(&form, false);
    job.start();
    QTimer::singleShot(0, &form, [&form] { form.cancel(); });
    EXPECT_EQ(form.exec(), 0);
    form.waitForThread(&job, true);
    EXPECT_TRUE(job.isFinished());
    EXPECT_FALSE(job.endedNormally);
}

TEST(ProgressFormTest, ReportsAfterTheFormClosedAreNotShown)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("Yes")});
    closer.ignore(&form);
    QTimer::singleShot(0, &form, [&form] { form.cancel(); });
    EXPECT_EQ(form.exec(), 0);
    form.errorOccurred(QStringLiteral("late error"));
    form.succeed(QStringLiteral("late success"));
    EXPECT_EQ(closer.texts.size(), 1); // only the question
    EXPECT_TRUE(form.isCancelled());
}

TEST(ProgressFormTest, TipsWaitShowsTheTextAndClearsTheWaitingFlag)
{
    ProgressForm form{QString()};
    ModalCloser closer({QStringLiteral("OK")});
    form.setWaiting(true);
    form.tipsWait(QStringLiteral("Unlock your iPhone."));
    EXPECT_FALSE(form.isWaiting());
    EXPECT_EQ(closer.texts, QStringList{QStringLiteral("Unlock your iPhone.")});
    EXPECT_FALSE(form.isVisible());
}

TEST(ProgressFormTest, CancelButtonTextAndStateCanChange)
{
    ProgressForm form{QString()};
    form.setCancelBtnText(QStringLiteral("Stop"));
    form.setCancelEnabled(false);
    EXPECT_EQ(cancelButton(form)->text(), QStringLiteral("Stop"));
    EXPECT_FALSE(cancelButton(form)->isEnabled());
}
