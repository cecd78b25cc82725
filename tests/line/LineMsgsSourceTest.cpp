#include "line/AbsLineDb.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"
#include "storage/Sqlite3Error.h"

#include <QCoreApplication>
#include <QObject>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct PageRequest
{
    const _LineChat* chat;
    qint64 page;
    int pageSize;
    bool ascending;
    bool operator==(const PageRequest&) const = default;
};

// A minimal message database: chats (id, uid) and messages (id, uid, chat_id, ts), paged by the
// databases' shared paging. Records every page it is asked for.
class CountingLineDb : public AbsLineDb
{
public:
    explicit CountingLineDb(QString path) : m_path(std::move(path)) {}

    void open() override
    {
        if (isOpen())
            return;
        openFile(m_path, OpenReadWriteCreate);
        execute("create table if not exists chat(id integer primary key, uid text)");
        execute(
            "create table if not exists msg(id integer primary key, uid text, chat_id integer, ts integer)");
    }

    void addMessages(qint64 chatId, int count)
    {
        open();
        Sqlite3Transaction transaction(*this);
        execute(Sqlite3Sql("insert or ignore into chat(id, uid) values(?, ?)")
                    .addInt64Param(chatId)
                    .addTextParam(QStringLiteral("c%1").arg(chatId)));
        for (int i = 0; i < count; ++i) {
            ++m_nextTs;
            execute(Sqlite3Sql("insert into msg(uid, chat_id, ts) values(?, ?, ?)")
                        .addTextParam(QStringLiteral("m%1").arg(m_nextTs))
                        .addInt64Param(chatId)
                        .addInt64Param(m_nextTs));
        }
        transaction.commit();
    }

    qint64 countMessages(const _LineChat* chat) override
    {
        Sqlite3Sql sql("select count(*) from msg");
        if (chat)
            sql.appendSql(" where chat_id=?").addInt64Param(chat->id);
        return queryInt64(sql);
    }

    QList<_LineMsg> loadMessages(const _LineChat* chat, qint64 page, int pageSize, bool ascending) override
    {
        requests.append({chat, page, pageSize, ascending});
        if (failLoads)
            throw Sqlite3Error(1, "disk on fire");
        return AbsLineDb::loadMessages(chat, page, pageSize, ascending);
    }

    QList<PageRequest> requests;
    bool failLoads = false;
    int fillCalls = 0;

protected:
    const MessageTable& messageTable() const override { return m_table; }

    MessageReader messageReader(const Sqlite3Cursor&, const _LineData* data) const override
    {
        return [data](const Sqlite3Cursor& cursor) {
            _LineMsg message;
            message.id = cursor.getInt64("id");
            message.uid = cursor.getText("uid");
            message.chat = data ? data->chat(cursor.getInt64("chat_id")) : nullptr;
            return message;
        };
    }

    void fillContacts(_LineData& data) override
    {
        ++fillCalls;
        open();
        Sqlite3Cursor cursor = query("select * from chat order by id");
        while (cursor.moveNext()) {
            auto chat = std::make_unique<_LineChat>();
            chat->id = cursor.getInt64("id");
            chat->uid = cursor.getText("uid");
            data.insertChat(std::move(chat));
        }
    }

private:
    QString m_path;
    qint64 m_nextTs = 0;
    MessageTable m_table{.table = "msg",
                         .columns = "m.*",
                         .time = "ts",
                         .rowKey = "id",
                         .chat = "chat_id",
                         .chatTable = "chat",
                         .chatKey = "id",
                         .chatUid = "uid",
                         .filter = {}};
};

class LineMsgsDataSourceTest : public ::testing::Test
{
protected:
    // Chat 1 holds m1..m7, chat 2 holds m8..m12 (time order = uid number).
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = std::make_shared<CountingLineDb>(m_dir.filePath("messages.db"));
        m_db->addMessages(1, 7);
        m_db->addMessages(2, 5);
        makeData(3);
    }

    void makeData(int pageSize)
    {
        m_data = std::make_shared<_LineData>(m_db, pageSize);
        m_db->loadContacts(m_data);
        m_chat1 = m_data->chat(1);
        m_chat2 = m_data->chat(2);
    }

    QTemporaryDir m_dir;
    std::shared_ptr<CountingLineDb> m_db;
    std::shared_ptr<_LineData> m_data;
    _LineChat* m_chat1 = nullptr;
    _LineChat* m_chat2 = nullptr;
};

QStringList uids(AbsLineMsgsSource& source)
{
    QStringList out;
    const qint64 count = source.count();
    for (qint64 i = 0; i < count; ++i)
        out.append(source.message(i).uid);
    return out;
}

} // namespace

TEST_F(LineMsgsDataSourceTest, CountsPerChatAndOverall)
{
    EXPECT_EQ(LineMsgsDataSource(m_data, m_chat1, true).count(), 7);
    EXPECT_EQ(LineMsgsDataSource(m_data, m_chat2, true).count(), 5);
    EXPECT_EQ(LineMsgsDataSource(m_data, nullptr, true).count(), 12);
    EXPECT_EQ(LineMsgsDataSource(nullptr, nullptr, true).count(), 0);
}

TEST_F(LineMsgsDataSourceTest, CountIsZeroWhenTheDatabaseFails)
{
    m_db->execute("drop table msg");
    EXPECT_EQ(LineMsgsDataSource(m_data, m_chat1, true).count(), 0);
}

TEST_F(LineMsgsDataSourceTest, OrderedWalkCostsOneQueryPerPage)
{
    LineMsgsDataSource source(m_data, m_chat1, true);
    EXPECT_EQ(uids(source), (QStringList{"m1", "m2", "m3", "m4", "m5", "m6", "m7"}));
    EXPECT_EQ(m_db->requests,
              (QList<PageRequest>{{m_chat1, 1, 3, true}, {m_chat1, 2, 3, true}, {m_chat1, 3, 3, true}}));
    EXPECT_EQ(m_data->cachedChat(), m_chat1);
    EXPECT_EQ(m_data->cachedPageNumber(), 3);
    EXPECT_EQ(m_data->cachedMessages().size(), 1);

    LineMsgsDataSource descending(m_data, nullptr, false);
    EXPECT_EQ(uids(descending).first(4), (QStringList{"m12", "m11", "m10", "m9"}));
    EXPECT_EQ(descending.message(0).chat, m_chat2);
    EXPECT_EQ(descending.message(11).chat, m_chat1);
    EXPECT_EQ(descending.message(11).uid, "m1");
}

TEST_F(LineMsgsDataSourceTest, DefaultPageSizeOf5000)
{
    m_db->addMessages(3, 10'001);
    makeData(_LineData::DefaultPageSize);
    _LineChat* chat3 = m_data->chat(3);
    ASSERT_NE(chat3, nullptr);
    m_db->requests.clear();
    LineMsgsDataSource source(m_data, chat3, true);
    const qint64 count = source.count();
    ASSERT_EQ(count, 10'001);
    qint64 walked = 0;
    for (qint64 i = 0; i < count; ++i)
        walked += source.message(i).id > 0 ? 1 : 0;
    EXPECT_EQ(walked, 10'001);
    EXPECT_EQ(m_db->requests,
              (QList<PageRequest>{{chat3, 1, 5000, true}, {chat3, 2, 5000, true}, {chat3, 3, 5000, true}}));
    EXPECT_EQ(source.message(4999).uid, "m5012");
    EXPECT_EQ(source.message(5000).uid, "m5013");
    EXPECT_EQ(m_db->requests.size(), 5);
}

TEST_F(LineMsgsDataSourceTest, CacheKeyIsChatPageAndOrder)
{
    LineMsgsDataSource chat1(m_data, m_chat1, true);
    LineMsgsDataSource chat1Again(m_data, m_chat1, true);
    LineMsgsDataSource chat2(m_data, m_chat2, true);
    LineMsgsDataSource chat1Descending(m_data, m_chat1, false);

    EXPECT_EQ(chat1.message(1).uid, "m2");
    EXPECT_EQ(chat1Again.message(2).uid, "m3"); // same key: served from the shared page
    EXPECT_EQ(m_db->requests.size(), 1);
    EXPECT_EQ(chat2.message(0).uid, "m8"); // another chat: refetch
    EXPECT_EQ(chat1.message(0).uid, "m1"); // and back again
    EXPECT_EQ(chat1Descending.message(0).uid, "m7");
    EXPECT_EQ(chat1.message(3).uid, "m4"); // another page
    EXPECT_EQ(chat1.message(5).uid, "m6");
    EXPECT_EQ(m_db->requests, (QList<PageRequest>{{m_chat1, 1, 3, true},
                                                  {m_chat2, 1, 3, true},
                                                  {m_chat1, 1, 3, true},
                                                  {m_chat1, 1, 3, false},
                                                  {m_chat1, 2, 3, true}}));
}

TEST_F(LineMsgsDataSourceTest, TwoThreadsWalkingOneDataSetEachGetTheirOwnChat)
{
    // The window's list and a job read one data set at once; every read swaps the shared page.
    std::atomic<int> ready = 0;
    const auto walk = [&](_LineChat* chat, int& wrong) {
        LineMsgsDataSource source(m_data, chat, true);
        const QStringList expected = chat == m_chat1 ? QStringList{"m1", "m2", "m3", "m4", "m5", "m6", "m7"}
                                                     : QStringList{"m8", "m9", "m10", "m11", "m12"};
        ++ready;
        while (ready.load() < 2) {
        }
        for (int round = 0; round < 2000; ++round) {
            if (uids(source) != expected)
                ++wrong;
        }
    };
    int wrong1 = 0;
    int wrong2 = 0;
    std::thread other([&] { walk(m_chat2, wrong2); });
    walk(m_chat1, wrong1);
    other.join();
    EXPECT_EQ(wrong1, 0);
    EXPECT_EQ(wrong2, 0);
}

TEST_F(LineMsgsDataSourceTest, IndexBeyondThePageGivesDefaultMessage)
{
    LineMsgsDataSource source(m_data, m_chat1, true);
    const _LineMsg beyond = source.message(7); // page 3 holds one message; index 7 is its second
    EXPECT_EQ(beyond.id, 0);
    EXPECT_EQ(beyond.chat, nullptr);
    EXPECT_TRUE(beyond.uid.isEmpty());
    EXPECT_EQ(source.message(1000).id, 0);
    const qsizetype before = m_db->requests.size();
    EXPECT_EQ(source.message(-1).id, 0);
    EXPECT_EQ(m_db->requests.size(), before);
}

TEST_F(LineMsgsDataSourceTest, LoadFailurePropagatesAndKeepsTheCache)
{
    LineMsgsDataSource source(m_data, m_chat1, true);
    EXPECT_EQ(source.message(0).uid, "m1");
    m_db->failLoads = true;
    EXPECT_THROW(source.message(4), std::runtime_error);
    EXPECT_TRUE(m_data->cacheHolds(m_chat1, 1, true));
    EXPECT_EQ(source.message(2).uid, "m3");
}

TEST_F(LineMsgsDataSourceTest, SplitByChat)
{
    LineMsgsDataSource all(m_data, nullptr, false);
    const auto parts = all.splitByChat();
    ASSERT_EQ(parts.size(), 2);
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        auto* part = dynamic_cast<LineMsgsDataSource*>(it.value().get());
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->chat(), it.key());
        EXPECT_EQ(part->data(), m_data);
        EXPECT_FALSE(part->ascending());
    }
    EXPECT_EQ(uids(*parts.value(m_chat2)), (QStringList{"m12", "m11", "m10", "m9", "m8"}));

    LineMsgsDataSource one(m_data, m_chat1, true);
    const auto single = one.splitByChat();
    ASSERT_EQ(single.size(), 1);
    EXPECT_EQ(single.value(m_chat1)->count(), 7);
}

TEST_F(LineMsgsDataSourceTest, NullDataSetIsLeftAlone)
{
    m_db->loadContacts(nullptr);
    EXPECT_EQ(m_db->fillCalls, 1);
    LineMsgsDataSource source(nullptr, nullptr, true);
    EXPECT_EQ(source.message(0).id, 0);
    EXPECT_TRUE(source.splitByChat().isEmpty());
}

TEST(LineMsgsListSourceTest, CountMessageAndSplit)
{
    _LineChat a, b;
    auto msg = [](const QString& uid, _LineChat* chat) {
        _LineMsg message;
        message.uid = uid;
        message.chat = chat;
        return message;
    };
    LineMsgsListSource source({msg("1", &a), msg("2", &b), msg("3", nullptr), msg("4", &a), msg("5", &b)});
    EXPECT_EQ(source.count(), 5);
    EXPECT_EQ(source.message(3).uid, "4");
    EXPECT_EQ(source.message(5).uid, "");
    EXPECT_EQ(source.message(-1).uid, "");
    const auto parts = source.splitByChat();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(uids(*parts.value(&a)), (QStringList{"1", "4"}));
    EXPECT_EQ(uids(*parts.value(&b)), (QStringList{"2", "5"}));
    EXPECT_TRUE(LineMsgsListSource().splitByChat().isEmpty());
    EXPECT_EQ(LineMsgsListSource().count(), 0);
}

namespace {

class SourceReceiver : public QObject
{
    Q_OBJECT
public:
    PAbsLineMsgsSource received;
public slots:
    void take(PAbsLineMsgsSource source) { received = std::move(source); }
};

} // namespace

TEST(LineMsgsSourceMetaType, TravelsThroughQueuedCalls)
{
    PAbsLineMsgsSource source = std::make_shared<LineMsgsListSource>(QList<_LineMsg>{_LineMsg()});
    EXPECT_TRUE(QMetaType::fromName("PAbsLineMsgsSource").isValid());
    SourceReceiver receiver;
    ASSERT_TRUE(QMetaObject::invokeMethod(&receiver, "take", Qt::QueuedConnection,
                                          Q_ARG(PAbsLineMsgsSource, source)));
    EXPECT_EQ(receiver.received, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.received, source);
    EXPECT_EQ(receiver.received->count(), 1);
}

#include "LineMsgsSourceTest.moc"
