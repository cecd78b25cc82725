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
#include <algorithm>
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

    const QStringList args{QStringLiteral("search"),    QStringLiteral("HELLO"),
                           QStringLiteral("--localdb"), localFolder(),
                           QStringLiteral("--json"),    QStringLiteral("--limit"),
                           QStringLiteral("0"),         QStringLiteral("--progress")};
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
                  localFolder(), QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("2"),
                  QStringLiteral("--progress")});
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

// Ctrl+C in the first moments of the first command on a LINE folder, while its store is being copied into
// the program's cache: the command stops, and neither that nor a crash at the same point leaves a partial
// copy for the next command to read as a damaged store.
TEST_F(LineCliTest, AnInterruptWhileTheStoreIsCopiedLeavesNothingTheNextCommandReads)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 80;
    const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QStringLiteral("app")), options);
    const QStringList chats = {QStringLiteral("line"), QStringLiteral("chats"), fixture.appRoot,
                               QStringLiteral("--json")};
    const QString copy = IOSLineStoreCache::folderFor(fixture.appRoot);
    auto leftovers = [] {
        return QDir(IOSLineStoreCache::cacheRoot()).entryList({QStringLiteral("*.part-*")}, QDir::Dirs);
    };

    const CliRun interrupted = interruptCliAt(QStringLiteral("store-copy"), chats, 1);
    EXPECT_EQ(interrupted.exitCode, 130) << interrupted.err.toStdString();
    EXPECT_TRUE(interrupted.err.contains(QStringLiteral("cancelled"))) << interrupted.err.toStdString();
    EXPECT_TRUE(interrupted.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(leftovers(), QStringList());

    const CliRun killed = interruptCliAt(QStringLiteral("store-copy"), chats, 0);
    EXPECT_EQ(killed.exitCode, -1);
    EXPECT_FALSE(QFileInfo::exists(copy));

    for (int run = 0; run < 2; ++run) {
        const CliRun next = runCli(chats);
        ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
        EXPECT_EQ(next.objects().size(),
                  int(std::count_if(fixture.chats.cbegin(), fixture.chats.cend(),
                                    [](const LineFixtureChat& c) { return c.enabled; })));
        // A crash while a later command replaces the copy leaves the complete one in place.
        if (run == 0) {
            EXPECT_EQ(interruptCliAt(QStringLiteral("store-copy"), chats, 0).exitCode, -1);
            EXPECT_TRUE(QFileInfo(QDir(copy).filePath(fixture.storeRelativePath)).isFile());
        }
    }
}

// Output for scripts: times that mean the same under any time zone, absolute paths, a failed write to
// standard output reported as a failure, and no progress or diagnostics on a standard error that is not
// a terminal unless asked for.
TEST_F(LineCliTest, OutputIsFitForScriptsAndAFailedWriteIsAFailure)
{
    const QString parent = QFileInfo(s_fixture->appRoot).absolutePath();
    const QString relative = QFileInfo(s_fixture->appRoot).fileName();
    CliSetup inParent;
    inParent.workingDirectory = parent;
    const CliRun line = runCliWith(
        {QStringLiteral("line"), QStringLiteral("messages"), relative, QStringLiteral("--json")}, inParent);
    ASSERT_EQ(line.exitCode, 0) << line.err.toStdString();
    EXPECT_TRUE(line.err.isEmpty()) << line.err.toStdString();
    const CliRun local = runCliWith({QStringLiteral("localdb"), QStringLiteral("messages"),
                                     QDir(parent).relativeFilePath(localFolder()), QStringLiteral("--json")},
                                    inParent);
    ASSERT_EQ(local.exitCode, 0) << local.err.toStdString();
    int withFiles = 0;
    for (const CliRun* run : {&line, &local}) {
        for (const QJsonObject& message : run->objects()) {
            // The tests run with TZ=Asia/Tokyo.
            EXPECT_TRUE(message.value(QStringLiteral("time")).toString().endsWith(QStringLiteral("+09:00")))
                << message.value(QStringLiteral("time")).toString().toStdString();
            const QString filePath = message.value(QStringLiteral("filePath")).toString();
            if (filePath.isEmpty())
                continue;
            ++withFiles;
            EXPECT_TRUE(QDir::isAbsolutePath(filePath)) << filePath.toStdString();
        }
    }
    EXPECT_GT(withFiles, 0);

    CliSetup full;
    full.standardOutputFile = QStringLiteral("/dev/full");
    const CliRun noRoom =
        runCliWith({QStringLiteral("line"), QStringLiteral("chats"), s_fixture->appRoot}, full);
    EXPECT_EQ(noRoom.exitCode, 1);
    EXPECT_TRUE(noRoom.err.contains(QStringLiteral("cannot write to standard output")))
        << noRoom.err.toStdString();

    const CliRun progress = runCli(
        {QStringLiteral("line"), QStringLiteral("chats"), s_fixture->appRoot, QStringLiteral("--progress")});
    EXPECT_EQ(progress.exitCode, 0);
    EXPECT_TRUE(progress.err.contains(QStringLiteral("Copying"))) << progress.err.toStdString();
    EXPECT_EQ(runCli({QStringLiteral("line"), QStringLiteral("chats"), s_fixture->appRoot,
                      QStringLiteral("--progress"), QStringLiteral("--quiet")})
                  .exitCode,
              2);
}

} // namespace
