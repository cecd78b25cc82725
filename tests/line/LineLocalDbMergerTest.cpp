#include "line/LineLocalDbMerger.h"
#include "LineRecordsBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/LineLocalDb.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LineLocalDbMergerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_alice = m_records.user(QStringLiteral("u0a11ce"), QStringLiteral("Alice"));
        m_bob = m_records.user(QStringLiteral("u0b0b"), QStringLiteral("Bob"));
        m_single = m_records.chat(QStringLiteral("u0a11ce"), _LineChat::Single, {m_alice});
        m_group = m_records.chat(QStringLiteral("c0123"), _LineChat::Group, {m_alice, m_bob});
        m_records.group(m_group, QStringLiteral("Club"), m_bob, {m_alice, m_bob});
    }

    QString target() const { return m_dir.filePath(QStringLiteral("target")); }
    QString media(const QString& name) const { return m_dir.filePath(QStringLiteral("media/") + name); }

    QList<_LineMsg> messages()
    {
        QList<_LineMsg> list;
        list << LineRecordsBuilder::text(m_single, m_alice, QStringLiteral("1"), 100, "hello");
        list << LineRecordsBuilder::text(m_single, nullptr, QStringLiteral("2"), 101, "hi back");
        list << LineRecordsBuilder::text(m_group, m_bob, QStringLiteral("3"), 102, "group hello");
        _LineMsg photo = LineRecordsBuilder::text(m_group, m_alice, QStringLiteral("4"), 103, {});
        photo.type = MessageType::Photo;
        photo.filePath = media(QStringLiteral("photo.jpg"));
        photo.thumbPath = media(QStringLiteral("photo.thumb"));
        list << photo;
        list << LineRecordsBuilder::text(nullptr, m_bob, QStringLiteral("5"), 104, "no chat");
        list << LineRecordsBuilder::text(m_single, m_alice, QString(), 105, "no uid");
        return list;
    }

    static qint64 count(Sqlite3DB& db, const char* sql) { return db.queryInt64(Sqlite3Sql(sql), -1); }

    QTemporaryDir m_dir;
    LineRecordsBuilder m_records;
    _LineUser* m_alice = nullptr;
    _LineUser* m_bob = nullptr;
    _LineChat* m_single = nullptr;
    _LineChat* m_group = nullptr;
};

TEST_F(LineLocalDbMergerTest, MergingTwiceAddsNothingTheSecondTimeExceptMessagesWithoutUid)
{
    writeFileBytes(media(QStringLiteral("photo.jpg")), "JPEG bytes");
    writeFileBytes(media(QStringLiteral("photo.thumb")), "thumb bytes");
    LineLocalDb db(target());
    LineMsgsListSource source(messages());

    LineLocalDbMerger::Result first = LineLocalDbMerger(db).merge(source);
    EXPECT_EQ(first.processed, 6);
    EXPECT_EQ(first.inserted, 5);
    EXPECT_EQ(first.mediaCopied, 2); // the photo and its thumbnail
    EXPECT_FALSE(first.cancelled);
    EXPECT_EQ(count(db, "select count(*) from line_msg"), 5);
    EXPECT_EQ(count(db, "select count(*) from line_chat"), 2);
    EXPECT_EQ(count(db, "select count(*) from line_group"), 1);
    EXPECT_EQ(count(db, "select count(*) from line_user"), 2);
    EXPECT_EQ(count(db, "select count(*) from line_chat_users"), 3);
    EXPECT_EQ(count(db, "select count(*) from line_group_members"), 2);

    const LineLocalDb::MediaPaths paths = db.mediaPaths(messages()[3]);
    EXPECT_EQ(readFileBytes(paths.filePath), QByteArray("JPEG bytes"));
    EXPECT_EQ(readFileBytes(paths.thumbPath), QByteArray("thumb bytes"));
    // A copy never replaces a file that is there.
    writeFileBytes(paths.filePath, "kept");

    LineLocalDbMerger::Result second = LineLocalDbMerger(db).merge(source);
    EXPECT_EQ(second.inserted, 1); // the message without uid, as always
    EXPECT_EQ(second.mediaCopied, 0);
    EXPECT_EQ(count(db, "select count(*) from line_msg"), 6);
    EXPECT_EQ(count(db, "select count(*) from line_chat"), 2);
    EXPECT_EQ(count(db, "select count(*) from line_user"), 2);
    EXPECT_EQ(readFileBytes(paths.filePath), QByteArray("kept"));
}

TEST_F(LineLocalDbMergerTest, ALocalDatabaseMergedIntoAnotherGivesTheSameHistory)
{
    LineLocalDb first(target());
    LineMsgsListSource list(messages());
    LineLocalDbMerger(first).merge(list);

    auto source = std::make_shared<LineLocalDb>(target());
    auto data = std::make_shared<_LineData>(source);
    source->loadContacts(data);
    LineMsgsDataSource walk(data, nullptr, true);
    LineLocalDb copy(m_dir.filePath(QStringLiteral("copy")));
    const LineLocalDbMerger::Result result = LineLocalDbMerger(copy).merge(walk);
    EXPECT_EQ(result.inserted, 5);
    auto copyData = std::make_shared<_LineData>(nullptr);
    copy.loadContacts(copyData);
    QStringList original;
    QStringList copied;
    for (const _LineMsg& message : source->loadMessages(nullptr, 1, 100, true))
        original << message.uid + QLatin1Char('|') + message.text + QLatin1Char('|') + message.chat->uid;
    for (const _LineMsg& message : copy.loadMessages(nullptr, 1, 100, true))
        copied << message.uid + QLatin1Char('|') + message.text + QLatin1Char('|') + message.chat->uid;
    EXPECT_EQ(copied, original);
}

TEST_F(LineLocalDbMergerTest, ACancelledMergeCommitsNothing)
{
    LineLocalDb db(target());
    LineMsgsListSource source(messages());
    int asked = 0;
    JobControl::Listener listener;
    listener.cancelled = [&] { return ++asked > 3; };
    const LineLocalDbMerger::Result result = LineLocalDbMerger(db, JobControl(listener)).merge(source);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.processed, 3);
    EXPECT_EQ(count(db, "select count(*) from line_msg"), 0);
    EXPECT_EQ(count(db, "select count(*) from line_chat"), 0);
}

TEST_F(LineLocalDbMergerTest, AnEmptySourceSucceedsAndProgressCountsEveryMessage)
{
    LineLocalDb db(target());
    LineMsgsListSource empty;
    EXPECT_EQ(LineLocalDbMerger(db).merge(empty).processed, 0);
    EXPECT_TRUE(QFileInfo(db.dbFilePath()).isFile());

    QList<int> reported;
    JobControl::Listener listener;
    listener.progress = [&](int percent, const QString&) { reported << percent; };
    LineMsgsListSource source(messages());
    LineLocalDbMerger(db, JobControl(listener)).merge(source);
    // One report per message of six: each is a new percentage.
    EXPECT_EQ(reported, (QList<int>{16, 33, 50, 66, 83, 100}));
}

} // namespace
