#include "CliProcess.h"
#include "LineFixtureBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LineCliTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        LineFixtureOptions options;
        options.messages = 150;
        s_fixture =
            new LineFixture(LineFixtureBuilder::build(s_dir->filePath(QStringLiteral("app")), options));
        // A local database holding the same history.
        auto ios = IOSLineStoreCache::openCopy(s_fixture->appRoot);
        auto data = std::make_shared<_LineData>(ios);
        ios->loadContacts(data);
        LineLocalDb local(s_dir->filePath(QStringLiteral("local")));
        LineMsgsDataSource all(data, nullptr, true);
        LineLocalDbMerger(local).merge(all);
    }
    static void TearDownTestSuite()
    {
        delete s_fixture;
        delete s_dir;
    }

    static QString localFolder() { return s_dir->filePath(QStringLiteral("local")); }
    static int enabledChats()
    {
        int enabled = 0;
        for (const LineFixtureChat& chat : s_fixture->chats)
            enabled += chat.enabled ? 1 : 0;
        return enabled;
    }

    static QTemporaryDir* s_dir;
    static LineFixture* s_fixture;
};

QTemporaryDir* LineCliTest::s_dir = nullptr;
LineFixture* LineCliTest::s_fixture = nullptr;

TEST_F(LineCliTest, LineChatsListsEveryShownChatAsJson)
{
    const QMap<QString, QByteArray> before = fileDigests(s_fixture->appRoot);
    const CliRun run = runCli(
        {QStringLiteral("line"), QStringLiteral("chats"), s_fixture->appRoot, QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QJsonObject> chats = run.objects();
    EXPECT_EQ(chats.size(), enabledChats());
    qint64 messages = 0;
    for (const QJsonObject& chat : chats) {
        const LineFixtureChat* expected = s_fixture->chatByMid(chat.value(QStringLiteral("uid")).toString());
        ASSERT_NE(expected, nullptr);
        EXPECT_TRUE(expected->enabled);
        EXPECT_EQ(chat.value(QStringLiteral("type")).toString(),
                  (QStringList{"single", "multi", "group"}[expected->type]));
        EXPECT_EQ(chat.value(QStringLiteral("messages")).toInteger(), expected->visibleMessages);
        EXPECT_TRUE(chat.value(QStringLiteral("members")).isArray());
        EXPECT_TRUE(QDateTime::fromString(chat.value(QStringLiteral("lastUpdated")).toString(), Qt::ISODate)
                        .isValid());
        if (expected->type == 2) {
            EXPECT_EQ(chat.value(QStringLiteral("title")).toString(),
                      QStringLiteral("[GROUP] ") + expected->groupName);
        }
        messages += chat.value(QStringLiteral("messages")).toInteger();
    }
    EXPECT_EQ(messages, s_fixture->visibleMessages);
    // The store was read from a copy: nothing in the app folder changed.
    EXPECT_EQ(fileDigests(s_fixture->appRoot), before);
}

TEST_F(LineCliTest, LineMessagesOfOneChatComeOldestFirstOrNewestFirst)
{
    const LineFixtureChat& chat = s_fixture->chats.first();
    const CliRun ascending = runCli({QStringLiteral("line"), QStringLiteral("messages"), s_fixture->appRoot,
                                     QStringLiteral("--chat"), chat.mid, QStringLiteral("--json")});
    ASSERT_EQ(ascending.exitCode, 0) << ascending.err.toStdString();
    const QList<QJsonObject> messages = ascending.objects();
    EXPECT_EQ(messages.size(), chat.visibleMessages);
    QStringList uids;
    QDateTime previous;
    for (const QJsonObject& message : messages) {
        for (const char* key :
             {"id", "uid", "type", "time", "chat", "sender", "text", "filePath", "thumbPath", "atta"})
            EXPECT_TRUE(message.contains(QLatin1String(key))) << key;
        EXPECT_EQ(message.value(QStringLiteral("chat")).toString(), chat.mid);
        const QDateTime time =
            QDateTime::fromString(message.value(QStringLiteral("time")).toString(), Qt::ISODate);
        EXPECT_TRUE(time.isValid());
        if (previous.isValid()) {
            EXPECT_GE(time, previous);
        }
        previous = time;
        uids << message.value(QStringLiteral("uid")).toString();
        if (message.value(QStringLiteral("type")).toString() == QLatin1String("sticker")) {
            EXPECT_GT(
                message.value(QStringLiteral("atta")).toObject().value(QStringLiteral("sticker_id")).toInt(),
                0);
        }
    }
    const CliRun descending =
        runCli({QStringLiteral("line"), QStringLiteral("messages"), s_fixture->appRoot,
                QStringLiteral("--chat"), chat.mid, QStringLiteral("--json"), QStringLiteral("--desc")});
    QStringList reversed;
    for (const QJsonObject& message : descending.objects())
        reversed.prepend(message.value(QStringLiteral("uid")).toString());
    EXPECT_EQ(reversed, uids);
}

TEST_F(LineCliTest, ThePlainFormIsATableWithAHeader)
{
    const CliRun chats = runCli({QStringLiteral("line"), QStringLiteral("chats"), s_fixture->appRoot});
    ASSERT_EQ(chats.exitCode, 0) << chats.err.toStdString();
    const QStringList lines = chats.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), enabledChats() + 1);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("UID")));
    const CliRun messages = runCli({QStringLiteral("line"), QStringLiteral("messages"), s_fixture->appRoot});
    EXPECT_EQ(messages.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(),
              s_fixture->visibleMessages + 1);
    EXPECT_TRUE(messages.out.contains(QStringLiteral("[STICKER-")));
}

TEST_F(LineCliTest, LocalDatabaseListingsShowTheSameHistory)
{
    const CliRun chats =
        runCli({QStringLiteral("localdb"), QStringLiteral("chats"), localFolder(), QStringLiteral("--json")});
    ASSERT_EQ(chats.exitCode, 0) << chats.err.toStdString();
    EXPECT_EQ(chats.objects().size(), enabledChats());
    const CliRun messages = runCli(
        {QStringLiteral("localdb"), QStringLiteral("messages"), localFolder(), QStringLiteral("--json")});
    ASSERT_EQ(messages.exitCode, 0) << messages.err.toStdString();
    EXPECT_EQ(messages.objects().size(), s_fixture->visibleMessages);
    const CliRun one = runCli({QStringLiteral("localdb"), QStringLiteral("messages"), localFolder(),
                               QStringLiteral("--chat"), s_fixture->chats.first().mid});
    EXPECT_EQ(one.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(),
              s_fixture->chats.first().visibleMessages + 1);
}

TEST_F(LineCliTest, FailuresAreReportedWithoutCreatingAnything)
{
    QTemporaryDir empty;
    CliRun run =
        runCli({QStringLiteral("line"), QStringLiteral("chats"), empty.filePath(QStringLiteral("missing"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("is not a folder"))) << run.err.toStdString();
    run = runCli({QStringLiteral("line"), QStringLiteral("chats"), empty.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Found no LINE messages"))) << run.err.toStdString();
    run = runCli({QStringLiteral("localdb"), QStringLiteral("chats"), empty.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no local message database"))) << run.err.toStdString();
    EXPECT_TRUE(QDir(empty.path()).isEmpty());
    writeFileBytes(empty.filePath(LineLocalDb::DbFileName), QByteArray("not sqlite").repeated(100));
    run = runCli({QStringLiteral("localdb"), QStringLiteral("messages"), empty.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("not a database"))) << run.err.toStdString();
    run = runCli({QStringLiteral("line"), QStringLiteral("messages"), s_fixture->appRoot,
                  QStringLiteral("--chat"), QStringLiteral("nosuchchat")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("nosuchchat")));
    run = runCli({QStringLiteral("line"), QStringLiteral("chats")});
    EXPECT_EQ(run.exitCode, 2);
    run =
        runCli({QStringLiteral("localdb"), QStringLiteral("chats"), empty.path(), QStringLiteral("--bogus")});
    EXPECT_EQ(run.exitCode, 2);
}

TEST_F(LineCliTest, SearchListsTheMessagesHoldingTheQueryNewestFirst)
{
    // The expected hits, from a plain walk of the local database.
    auto db = std::make_shared<LineLocalDb>(localFolder());
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    LineMsgsDataSource all(data, nullptr, false);
    QStringList expected;
    for (qint64 i = 0; i < all.count(); ++i) {
        const _LineMsg message = all.message(i);
        if (message.displayText().contains(QStringLiteral("Hello"), Qt::CaseInsensitive))
            expected << message.uid;
    }
    ASSERT_GT(expected.size(), 3);

    const QStringList args{
        QStringLiteral("search"), QStringLiteral("HELLO"),   QStringLiteral("--localdb"), localFolder(),
        QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("0")};
    CliRun run = runCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Building the search index"))) << run.err.toStdString();
    QStringList found;
    for (const QJsonObject& hit : run.objects()) {
        found << hit.value(QStringLiteral("uid")).toString();
        EXPECT_TRUE(hit.value(QStringLiteral("snippet"))
                        .toString()
                        .contains(QStringLiteral("«hello»"), Qt::CaseInsensitive));
        EXPECT_TRUE(hit.contains(QStringLiteral("chatTitle")));
        EXPECT_TRUE(hit.contains(QStringLiteral("atta")));
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(QFileInfo::exists(QDir(localFolder()).filePath(LineLocalDb::DbFileName + ".search")));

    // The index is used as it is the second time; --limit keeps the newest.
    run = runCli({QStringLiteral("search"), QStringLiteral("hello"), QStringLiteral("--localdb"),
                  localFolder(), QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("2")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("Building")));
    ASSERT_EQ(run.objects().size(), 2);
    EXPECT_EQ(run.objects()[1].value(QStringLiteral("uid")).toString(), expected[1]);

    // Query syntax is text; a blank query is refused.
    run = runCli(
        {QStringLiteral("search"), QStringLiteral("NEAR(\"x"), QStringLiteral("--localdb"), localFolder()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    run =
        runCli({QStringLiteral("search"), QStringLiteral("  "), QStringLiteral("--localdb"), localFolder()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Type something to search for."))) << run.err.toStdString();
}

} // namespace
