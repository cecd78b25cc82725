#include "../line/LineRecordsBuilder.h"
#include "QtPrinters.h"
#include "RecordingProgressForm.h"
#include "TestFiles.h"

#include "jobs/BackupLineMessagesThread.h"
#include "line/LineLocalDb.h"
#include "line/LineMsgsListSource.h"
#include "platform/AppLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class BackupLineMessagesThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setAppLanguage(QStringLiteral("en_US"));
        ASSERT_TRUE(m_dir.isValid());
        m_alice = m_records.user(QStringLiteral("u0a11ce"), QStringLiteral("Alice"));
        m_chat = m_records.chat(QStringLiteral("u0a11ce"), _LineChat::Single, {m_alice});
    }

    QString target() const { return m_dir.filePath(QStringLiteral("local")); }

    // count messages of the chat, every tenth a photo whose file and thumbnail exist.
    QList<_LineMsg> history(int count)
    {
        QList<_LineMsg> list;
        for (int i = 0; i < count; ++i) {
            _LineMsg message =
                LineRecordsBuilder::text(m_chat, i % 2 ? m_alice : nullptr, QString::number(1000 + i),
                                         1700000000 + i, "message " + QByteArray::number(i));
            if (i % 10 == 0) {
                message.type = MessageType::Photo;
                message.filePath = m_dir.filePath(QStringLiteral("media/%1.jpg").arg(i));
                message.thumbPath = m_dir.filePath(QStringLiteral("media/%1.thumb").arg(i));
                writeFileBytes(message.filePath, "photo " + QByteArray::number(i));
                writeFileBytes(message.thumbPath, "thumb " + QByteArray::number(i));
            }
            list << message;
        }
        return list;
    }

    struct Outcome
    {
        bool succeeded = false;
        bool cancelled = false;
        qint64 inserted = 0;
        qint64 mediaCopied = 0;
    };

    // Runs the job to its end, delivering its reports to form as they come.
    Outcome run(PAbsLineMsgsSource source, RecordingProgressForm& form, const QString& folder)
    {
        BackupLineMessagesThread job(std::move(source), folder, &form);
        QEventLoop loop;
        QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        job.start();
        loop.exec();
        EXPECT_TRUE(job.wait(60000));
        QCoreApplication::sendPostedEvents();
        return {job.succeeded(), job.cancelled(), job.insertedCount(), job.mediaCopiedCount()};
    }

    Outcome run(const QList<_LineMsg>& messages, RecordingProgressForm& form)
    {
        return run(std::make_shared<LineMsgsListSource>(messages), form, target());
    }

    qint64 storedMessages()
    {
        LineLocalDb db(target());
        db.open();
        return db.queryInt64(Sqlite3Sql("select count(*) from line_msg"), -1);
    }

    QTemporaryDir m_dir;
    LineRecordsBuilder m_records;
    _LineUser* m_alice = nullptr;
    _LineChat* m_chat = nullptr;
};

TEST_F(BackupLineMessagesThreadTest, ASecondBackupOfTheSameMessagesAddsNothingAndLeavesMediaAlone)
{
    const QList<_LineMsg> messages = history(300);
    RecordingProgressForm first;
    const Outcome outcome = run(messages, first);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.inserted, 300);
    EXPECT_EQ(outcome.mediaCopied, 60); // 30 photos and their thumbnails
    EXPECT_EQ(first.successes,
              QStringList{QStringLiteral("Successfully backed up 300 messages: 300 new, 0 already there.")});
    EXPECT_TRUE(first.errors.isEmpty());
    ASSERT_FALSE(first.progress.isEmpty());
    EXPECT_EQ(first.progress.first().status, QStringLiteral("Backing up Line messages..."));
    EXPECT_EQ(first.progress.last().progress, 100);
    // One report per percent at most, not one per message.
    EXPECT_LE(first.progress.size(), 102);

    LineLocalDb db(target());
    const LineLocalDb::MediaPaths paths = db.mediaPaths(messages[10]);
    EXPECT_EQ(readFileBytes(paths.filePath), QByteArray("photo 10"));
    EXPECT_EQ(readFileBytes(paths.thumbPath), QByteArray("thumb 10"));
    writeFileBytes(paths.filePath, "edited by the user");

    RecordingProgressForm second;
    const Outcome again = run(messages, second);
    EXPECT_TRUE(again.succeeded);
    EXPECT_EQ(again.inserted, 0);
    EXPECT_EQ(again.mediaCopied, 0);
    EXPECT_EQ(second.successes,
              QStringList{QStringLiteral("Successfully backed up 300 messages: 0 new, 300 already there.")});
    EXPECT_EQ(storedMessages(), 300);
    EXPECT_EQ(readFileBytes(paths.filePath), QByteArray("edited by the user"));
}

TEST_F(BackupLineMessagesThreadTest, MessagesWithoutAnIdAreAddedEveryTime)
{
    QList<_LineMsg> messages = history(3);
    messages[1].uid = QString();
    messages[2].uid = QStringLiteral("0");
    RecordingProgressForm first;
    EXPECT_EQ(run(messages, first).inserted, 3);
    RecordingProgressForm second;
    EXPECT_EQ(run(messages, second).inserted, 2);
    EXPECT_EQ(storedMessages(), 5);
}

TEST_F(BackupLineMessagesThreadTest, ACancelledBackupStoresNoMessageAndReportsNothing)
{
    RecordingProgressForm form;
    form.cancelAtCancelCheck = 50;
    const Outcome outcome = run(history(500), form);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(form.successes.isEmpty());
    EXPECT_TRUE(form.errors.isEmpty());
    EXPECT_EQ(storedMessages(), 0);
}

TEST_F(BackupLineMessagesThreadTest, NothingToBackUpSucceedsWithZeroAndPreparesTheDatabase)
{
    RecordingProgressForm empty;
    EXPECT_TRUE(run(QList<_LineMsg>{}, empty).succeeded);
    EXPECT_EQ(empty.successes,
              QStringList{QStringLiteral("Successfully backed up 0 messages: 0 new, 0 already there.")});

    RecordingProgressForm none;
    EXPECT_TRUE(run(nullptr, none, m_dir.filePath(QStringLiteral("other"))).succeeded);
    EXPECT_EQ(none.successes,
              QStringList{QStringLiteral("Successfully backed up 0 messages: 0 new, 0 already there.")});
    EXPECT_TRUE(LineLocalDb::existsIn(m_dir.filePath(QStringLiteral("other"))));
}

TEST_F(BackupLineMessagesThreadTest, ADatabaseThatCannotBeOpenedIsReportedAndLeftAsItWas)
{
    QDir().mkpath(target());
    const QByteArray notADatabase("this is not an SQLite database, it is a note the user kept");
    writeFileBytes(LineLocalDb(target()).dbFilePath(), notADatabase);

    RecordingProgressForm form;
    const Outcome outcome = run(history(20), form);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_TRUE(form.successes.isEmpty());
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_FALSE(form.errors.first().isEmpty());
    EXPECT_EQ(readFileBytes(LineLocalDb(target()).dbFilePath()), notADatabase);
}

} // namespace
