#include "search/MessageSearch.h"
#include "ChatFixture.h"
#include "LineFixtureBuilder.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"
#include "line/MessageType.h"
#include "search/MessageSearchIndex.h"
#include "storage/Sqlite3DB.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Texts in several scripts and cases, with emoji and with what FTS5 would read as query syntax.
const QStringList kTexts = {
    QStringLiteral("Hello World"),
    QStringLiteral("HELLO again, hello"),
    QStringLiteral("Ärger über Öl"),
    QStringLiteral("ΣΊΣΥΦΟΣ and σίσυφος"),
    QStringLiteral("今日は駅でランチ"),
    QStringLiteral("明日また会いましょう"),
    QStringLiteral("謝謝你，晚點見面"),
    QStringLiteral("見面吧"),
    QStringLiteral("party 🎉🎉 tonight 😀"),
    QStringLiteral("😀"),
    QStringLiteral("say \"hi\" AND NEAR(x, y) -z *star* (paren)"),
    QStringLiteral("a\"b"),
    QStringLiteral("ＡＢＣ full width"),
    QStringLiteral("𐐀𐐁 deseret"),
    QStringLiteral("line one\nline two"),
};

const QStringList kQueries = {
    QStringLiteral("hello"),     QStringLiteral("HELLO"),   QStringLiteral("o w"),
    QStringLiteral("ärger"),     QStringLiteral("ÖL"),      QStringLiteral("σίσυφοσ"),
    QStringLiteral("ΣΊΣΥΦΟΣ"),   QStringLiteral("駅"),      QStringLiteral("今日"),
    QStringLiteral("ランチ"),    QStringLiteral("謝謝"),    QStringLiteral("晚點見"),
    QStringLiteral("見面"),      QStringLiteral("🎉"),       QStringLiteral("🎉🎉"),
    QStringLiteral("t 😀"),       QStringLiteral("ａｂｃ"),  QStringLiteral("abc"),
    QStringLiteral("𐐨𐐩"),        QStringLiteral("[EMOJI]"), QStringLiteral("[IMAGE]"),
    QStringLiteral("contact"),   QStringLiteral("\""),      QStringLiteral("\"hi\""),
    QStringLiteral("*"),         QStringLiteral("*star*"),  QStringLiteral("AND"),
    QStringLiteral("NEAR("),     QStringLiteral("-z"),      QStringLiteral("(paren)"),
    QStringLiteral("a\"b"),      QStringLiteral("x, y"),    QStringLiteral("e"),
    QStringLiteral("  hello  "), QStringLiteral("e two"),   QStringLiteral("not there"),
};

// Whether the query holds two neighbouring characters, or two with one space between them, neither of
// which is white space, and no control character.
bool hasToken(const QString& text)
{
    const QList<uint> points = text.trimmed().toUcs4();
    if (std::any_of(points.cbegin(), points.cend(), [](uint c) { return c < 0x20; }))
        return false;
    for (qsizetype i = 1; i < points.size(); ++i) {
        if (QChar::isSpace(points[i]))
            continue;
        if (!QChar::isSpace(points[i - 1]) || (i >= 2 && !QChar::isSpace(points[i - 2])))
            return true;
    }
    return false;
}

// The positions a plain scan of the source's display texts finds, in the source's order.
QList<qint64> scanPositions(const std::shared_ptr<_LineData>& data, _LineChat* chat, bool ascending,
                            const QString& query)
{
    LineMsgsDataSource source(data, chat, ascending);
    QList<qint64> found;
    for (qint64 i = 0, n = source.count(); i < n; ++i) {
        if (source.message(i).displayText().contains(query.trimmed(), Qt::CaseInsensitive))
            found << i;
    }
    return found;
}

// Every hit the index gives, as positions in the oldest-first order of the chat (or of all chats).
QList<qint64> indexPositions(MessageSearch& search, _LineChat* chat)
{
    QList<qint64> found;
    for (const SearchHit& hit : search.hits(chat, false, 1000000))
        found << (chat ? hit.chatPosition : hit.position);
    return found;
}

// Checks that index and scan agree on every query, over all chats and each chat, and that "next hit"
// steps through the scan's hits in both orders.
void expectAgreement(MessageSearchIndex& index, const QStringList& queries)
{
    const std::shared_ptr<_LineData>& data = index.data();
    QList<_LineChat*> scopes{nullptr};
    scopes << data->chatsById();
    for (const QString& query : queries) {
        MessageSearch search(index, query);
        EXPECT_EQ(search.usesIndex(), hasToken(query)) << query.toStdString();
        for (_LineChat* chat : scopes) {
            const QString where = query.toStdString().c_str() + QStringLiteral(" in ") +
                                  (chat ? chat->uid : QStringLiteral("all"));
            const QList<qint64> expected = scanPositions(data, chat, true, query);
            EXPECT_EQ(indexPositions(search, chat), expected) << where.toStdString();

            // Newest first, a page of two at a time.
            QList<qint64> newestFirst;
            qint64 after = -1;
            for (QList<SearchHit> page; !(page = search.hits(chat, true, 2, after)).isEmpty();) {
                for (const SearchHit& hit : page)
                    newestFirst << (chat ? hit.chatPosition : hit.position);
                after = page.last().position;
            }
            EXPECT_EQ(newestFirst, QList<qint64>(expected.crbegin(), expected.crend()))
                << where.toStdString();

            for (bool ascending : {true, false}) {
                const QList<qint64> inOrder = ascending ? expected : scanPositions(data, chat, false, query);
                qint64 from = -1;
                QList<qint64> stepped;
                while (const std::optional<qint64> next = search.nextHit(chat, ascending, from)) {
                    stepped << *next;
                    from = *next;
                }
                EXPECT_EQ(stepped, inOrder) << where.toStdString() << (ascending ? " asc" : " desc");
            }
        }
    }
}

class MessageSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = std::make_shared<LineLocalDb>(m_dir.filePath(QStringLiteral("local")));
        merge(m_fixture.source());
        QList<_LineMsg> texts;
        for (qsizetype i = 0; i < kTexts.size(); ++i)
            texts << text(i, kTexts[i]);
        merge(std::make_shared<LineMsgsListSource>(texts));
        reload();
    }

    _LineMsg text(qsizetype i, const QString& content)
    {
        _LineMsg message;
        message.uid = QStringLiteral("t%1").arg(i + m_nextUid++ * 1000);
        message.type = MessageType::Text;
        // Some share a second with the fixture's messages, so ties are broken by row key.
        message.time = m_fixture.messages.at(i % m_fixture.messages.size()).time;
        if (!message.time.isValid())
            message.time = QDateTime::fromSecsSinceEpoch(1677600000);
        message.content = content.toUtf8();
        message.text = content;
        _LineChat* chats[] = {m_fixture.single, m_fixture.group, m_fixture.room};
        message.chat = chats[i % 3];
        message.sender = i % 2 ? m_fixture.alice : nullptr;
        return message;
    }

    void merge(const PAbsLineMsgsSource& source) { LineLocalDbMerger(*m_db).merge(*source); }

    void reload()
    {
        m_data = std::make_shared<_LineData>(m_db);
        m_db->loadContacts(m_data);
    }

    QString indexPath() const { return MessageSearchIndex::pathFor(m_db->dbFilePath()); }

    QTemporaryDir m_dir;
    ChatFixture m_fixture;
    std::shared_ptr<LineLocalDb> m_db;
    std::shared_ptr<_LineData> m_data;
    int m_nextUid = 0;
};

TEST_F(MessageSearchTest, IndexAndScanAgreeBeforeAndAfterABackupAddsAndADeleteRemoves)
{
    JobControl control;
    {
        MessageSearchIndex index(m_data);
        EXPECT_FALSE(index.openIfCurrent());
        index.prepare(control);
        EXPECT_EQ(index.messageCount(), m_db->countMessages(nullptr));
        expectAgreement(index, kQueries);

        const QList<SearchHit> hits = MessageSearch(index, QStringLiteral("WORLD")).hits(nullptr, true, 10);
        ASSERT_EQ(hits.size(), 1);
        EXPECT_EQ(hits[0].message.text, QStringLiteral("Hello World"));
        EXPECT_EQ(hits[0].markedSnippet(QStringLiteral("["), QStringLiteral("]")),
                  QStringLiteral("Hello [World]"));
    }
    const QByteArray before = [&] {
        QFile file(indexPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(before.isEmpty());
    {
        // Opened again unchanged: the file is used as it is.
        MessageSearchIndex index(m_data);
        EXPECT_TRUE(index.openIfCurrent());
    }

    // A backup into the database adds messages, some older than everything indexed.
    QList<_LineMsg> added;
    added << text(0, QStringLiteral("new hello from the backup")) << text(4, QStringLiteral("新しい駅"));
    added[1].time = QDateTime::fromSecsSinceEpoch(1000000000);
    merge(std::make_shared<LineMsgsListSource>(added));
    reload();
    {
        MessageSearchIndex index(m_data);
        EXPECT_FALSE(index.openIfCurrent());
        index.prepare(control);
        expectAgreement(index, kQueries + QStringList{QStringLiteral("新しい"), QStringLiteral("backup")});
        EXPECT_EQ(MessageSearch(index, QStringLiteral("新しい")).nextHit(nullptr, true, -1), 0);
    }

    // Deleting messages (one hit of "hello" among them) makes the index stale too.
    LineMsgsDataSource all(m_data, nullptr, true);
    QList<_LineMsg> doomed;
    for (qint64 i = 0; i < all.count(); ++i) {
        const _LineMsg message = all.message(i);
        if (message.text.startsWith(QStringLiteral("HELLO")) || message.text.contains(QStringLiteral("今日")))
            doomed << message;
    }
    ASSERT_EQ(doomed.size(), 2);
    m_db->deleteMessages(doomed);
    reload();
    MessageSearchIndex index(m_data);
    index.prepare(control);
    expectAgreement(index, kQueries);
    EXPECT_TRUE(MessageSearch(index, QStringLiteral("今日")).hits(nullptr, true, 10).isEmpty());
}

TEST_F(MessageSearchTest, BlankQueriesAreRefused)
{
    JobControl control;
    MessageSearchIndex index(m_data);
    index.prepare(control);
    for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral("\t\n")}) {
        try {
            MessageSearch search(index, blank);
            ADD_FAILURE() << "accepted a blank query";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Type something to search for.");
        }
    }
    // What would be FTS5 syntax is matched as text.
    EXPECT_EQ(MessageSearch::matchExpression(QStringLiteral("a\"b")), QByteArray("\"\"\"b\" AND \"a\"\"\""));
}

TEST_F(MessageSearchTest, DamagedForeignOrStaleIndexFilesAreBuiltAnew)
{
    JobControl control;
    const auto expectRebuilt = [&](const char* what) {
        MessageSearchIndex index(m_data);
        EXPECT_FALSE(index.openIfCurrent()) << what;
        index.prepare(control);
        EXPECT_TRUE(index.isOpen()) << what;
        expectAgreement(index, {QStringLiteral("hello"), QStringLiteral("見面")});
        MessageSearchIndex again(m_data);
        EXPECT_TRUE(again.openIfCurrent()) << what;
    };

    QFile::remove(indexPath());
    {
        QFile garbage(indexPath());
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(10000, 'x'));
    }
    expectRebuilt("garbage");

    {
        // Another program's database under the index's name.
        QFile::remove(indexPath());
        Sqlite3DB foreign;
        foreign.openFile(indexPath(), Sqlite3DB::OpenReadWriteCreate);
        foreign.execute("create table meta(key text primary key, value text)");
        foreign.execute("insert into meta values('identity', 'anything')");
    }
    expectRebuilt("foreign");

    {
        // An index from an older format: the recorded identity differs.
        Sqlite3DB older;
        older.openFile(indexPath(), Sqlite3DB::OpenReadWrite);
        older.execute("update meta set value='0|' || value where key='identity'");
    }
    expectRebuilt("older");

    {
        // Cut short: the last pages are gone.
        QFile file(indexPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(file.size() / 2));
    }
    expectRebuilt("truncated");
}

TEST(MessageSearchStoreTest, IndexAndScanAgreeOnALineStore)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 400;
    const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QStringLiteral("app")), options);
    const std::shared_ptr<IOSLineDb> db = IOSLineStoreCache::openCopy(fixture.appRoot);
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    JobControl control;
    MessageSearchIndex index(data);
    index.prepare(control);
    EXPECT_EQ(index.messageCount(), db->countMessages(nullptr));
    EXPECT_TRUE(index.path().startsWith(IOSLineStoreCache::folderFor(fixture.appRoot)));
    // Long queries of common words go along only some of their tokens: the checked texts decide.
    expectAgreement(index,
                    {QStringLiteral("Hello"), QStringLiteral("ありがとう"), QStringLiteral("謝謝 "),
                     QStringLiteral("😀 t"), QStringLiteral("[sticker"), QStringLiteral("o t"),
                     QStringLiteral("駅"), QStringLiteral("coffee late lunch"),
                     QStringLiteral("了解 coffee 駅"), QStringLiteral("see you tomorrow at the station")});
    // A fresh copy of the same store keeps its index.
    const std::shared_ptr<IOSLineDb> copy = IOSLineStoreCache::openCopy(fixture.appRoot);
    auto copyData = std::make_shared<_LineData>(copy);
    copy->loadContacts(copyData);
    EXPECT_TRUE(MessageSearchIndex(copyData).openIfCurrent());
}

} // namespace
