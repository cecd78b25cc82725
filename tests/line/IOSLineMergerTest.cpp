#include "line/IOSLineMerger.h"
#include "LineFixtureBuilder.h"
#include "LineFixtureSpecial.h"
#include "LineRecordsBuilder.h"
#include "QtPrinters.h"
#include "line/EmojiText.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineGroup.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kOwner = QStringLiteral("u5e1f0000000000000000000000000001");

// A loaded store: the database and its data set.
struct Loaded
{
    std::shared_ptr<IOSLineDb> db;
    std::shared_ptr<_LineData> data;

    _LineChat* chat(const QString& uid) const
    {
        for (_LineChat* chat : data->chats()) {
            if (chat->uid == uid)
                return chat;
        }
        return nullptr;
    }
};

Loaded load(std::shared_ptr<IOSLineDb> db)
{
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    return {std::move(db), std::move(data)};
}

QSet<QString> memberUids(const LineUserSet& users)
{
    QSet<QString> uids;
    for (const _LineUser* user : users)
        uids.insert(user->uid);
    return uids;
}

qint64 count(Sqlite3DB& db, const QString& sql)
{
    return db.queryInt64(Sqlite3Sql(sql), -1);
}

// Z_MAX of every entity covers the largest key of its table.
void expectCountersCoverTheRows(Sqlite3DB& db)
{
    Sqlite3Cursor cursor = db.query("select Z_NAME, Z_MAX from Z_PRIMARYKEY");
    QList<QPair<QString, qint64>> counters;
    while (cursor.moveNext())
        counters.append({cursor.getText(QStringLiteral("Z_NAME")), cursor.getInt64(QStringLiteral("Z_MAX"))});
    const QHash<QString, QString> tables = {{QStringLiteral("Chat"), QStringLiteral("ZCHAT")},
                                            {QStringLiteral("Message"), QStringLiteral("ZMESSAGE")},
                                            {QStringLiteral("User"), QStringLiteral("ZUSER")},
                                            {QStringLiteral("Group"), QStringLiteral("ZGROUP")}};
    int checked = 0;
    for (const auto& [name, max] : counters) {
        if (!tables.contains(name))
            continue;
        ++checked;
        EXPECT_GE(max,
                  count(db, QStringLiteral("select coalesce(max(Z_PK), 0) from %1").arg(tables.value(name))))
            << name.toStdString();
    }
    EXPECT_EQ(checked, 4);
}

class IOSLineMergerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    LineFixture build(const QString& name, LineFixtureOptions options)
    {
        options.ownerMid = kOwner;
        return LineFixtureBuilder::build(m_dir.filePath(name), options);
    }

    // The store the merge reads from, through a cache copy like every reader.
    Loaded source(const LineFixture& fixture) { return load(IOSLineStoreCache::openCopy(fixture.appRoot)); }

    QTemporaryDir m_dir;
};

TEST_F(IOSLineMergerTest, MergingAStoreIntoItselfAddsNothing)
{
    LineFixtureOptions options;
    options.seed = 3;
    const LineFixture a = build(QStringLiteral("a"), options);
    const LineFixture b = build(QStringLiteral("b"), options);
    Loaded from = source(a);
    IOSLineDb target(b.appRoot);
    target.open();
    const QStringList tables = {QStringLiteral("ZCHAT"),      QStringLiteral("ZUSER"),
                                QStringLiteral("ZGROUP"),     QStringLiteral("Z_1MEMBERS"),
                                QStringLiteral("Z_4MEMBERS"), QStringLiteral("ZCHATMETADATA")};
    QList<qint64> before;
    for (const QString& table : tables)
        before << count(target, QStringLiteral("select count(*) from %1").arg(table));
    const qint64 messagesBefore =
        count(target, QStringLiteral("select count(*) from ZMESSAGE where ZCONTENTTYPE <> 106"));

    LineMsgsDataSource all(from.data, nullptr, true);
    qint64 handledCalls = 0;
    const IOSLineMerger::Result result = IOSLineMerger(target, {}, [&](const _LineMsg&, qint64 chatPk) {
                                             handledCalls += chatPk > 0 ? 1 : 0;
                                         }).merge(all);
    EXPECT_EQ(result.inserted, 0);
    EXPECT_EQ(result.handled, a.visibleMessages);
    EXPECT_EQ(handledCalls, a.visibleMessages);
    for (int i = 0; i < tables.size(); ++i)
        EXPECT_EQ(count(target, QStringLiteral("select count(*) from %1").arg(tables[i])), before[i])
            << tables[i].toStdString();
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZMESSAGE")), messagesBefore);
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZMESSAGE where ZCONTENTTYPE=106")), 0);
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from sqlite_master where name like '_vr_idx%'")),
              0);
    expectCountersCoverTheRows(target);
}

class IOSLineMergerEntitiesTest : public IOSLineMergerTest,
                                  public ::testing::WithParamInterface<LineFixtureGroups>
{
};

TEST_P(IOSLineMergerEntitiesTest, AMergeIntoAStoreWithOtherEntityNumbersLinksMembersCorrectly)
{
    LineFixtureOptions fromOptions;
    fromOptions.seed = 11;
    fromOptions.messages = 250;
    const LineFixture a = build(QStringLiteral("a"), fromOptions);
    LineFixtureOptions toOptions;
    toOptions.seed = 12;
    toOptions.messages = 30;
    toOptions.entities = LineFixtureEntities::alternative();
    toOptions.groups = GetParam();
    const LineFixture b = build(QStringLiteral("b"), toOptions);

    Loaded from = source(a);
    {
        IOSLineDb target(b.appRoot, QStringLiteral("/var/mobile/Containers/Data/Application/ABC"));
        LineMsgsDataSource all(from.data, nullptr, true);
        const IOSLineMerger::Result result = IOSLineMerger(target).merge(all);
        EXPECT_EQ(result.inserted, a.visibleMessages);
        expectCountersCoverTheRows(target);
        EXPECT_EQ(count(target, QStringLiteral("select count(*) from sqlite_master where name='Z_1MEMBERS'")),
                  0);
    }

    Loaded to = load(std::make_shared<IOSLineDb>(b.appRoot));
    const bool groupTable = GetParam() == LineFixtureGroups::GroupTable;
    for (const _LineChat* original : from.data->chats()) {
        SCOPED_TRACE(original->uid.toStdString());
        const _LineChat* merged = to.chat(original->uid);
        ASSERT_NE(merged, nullptr);
        EXPECT_EQ(merged->type, original->type);
        EXPECT_EQ(memberUids(merged->members), memberUids(original->members));
        EXPECT_EQ(to.db->countMessages(merged), from.db->countMessages(original));
        if (original->group && groupTable) {
            ASSERT_NE(merged->group, nullptr);
            EXPECT_EQ(merged->group->name, original->group->name);
            EXPECT_EQ(memberUids(merged->group->members), memberUids(original->group->members));
            ASSERT_NE(merged->group->creator, nullptr);
            EXPECT_EQ(merged->group->creator->uid, original->group->creator->uid);
        }
    }
    if (!groupTable) {
        EXPECT_EQ(count(*to.db, QStringLiteral("select count(*) from ZGROUP")), 0);
    }

    // The messages read back as they were written.
    QHash<QString, _LineMsg> merged;
    LineMsgsDataSource all(to.data, nullptr, true);
    for (qint64 i = 0; i < all.count(); ++i) {
        const _LineMsg message = all.message(i);
        merged.insert(message.uid, message);
    }
    LineMsgsDataSource originals(from.data, nullptr, true);
    for (qint64 i = 0; i < originals.count(); ++i) {
        const _LineMsg original = originals.message(i);
        SCOPED_TRACE(original.uid.toStdString());
        ASSERT_TRUE(merged.contains(original.uid));
        const _LineMsg& copy = merged[original.uid];
        EXPECT_EQ(copy.type, original.type);
        EXPECT_EQ(copy.time, original.time);
        EXPECT_EQ(copy.chat->uid, original.chat->uid);
        EXPECT_EQ(copy.sender ? copy.sender->uid : QString(),
                  original.sender ? original.sender->uid : QString());
        if (original.type != MessageType::Text || !EmojiText::hasDamagedEmoji(original.content)) {
            EXPECT_EQ(copy.displayText(), original.displayText());
        }
        if (original.type == MessageType::Sticker || original.type == MessageType::Location ||
            original.type == MessageType::Contact) {
            EXPECT_EQ(copy.atta, original.atta);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(GroupLayouts, IOSLineMergerEntitiesTest,
                         ::testing::Values(LineFixtureGroups::UnifiedStore, LineFixtureGroups::GroupTable));

TEST_F(IOSLineMergerTest, ASecondTransferAddsNothingButRepairsDamagedEmojiAndKeepsCounters)
{
    LineFixtureOptions options;
    options.seed = 21;
    const LineFixture a = build(QStringLiteral("a"), options);
    options.seed = 22;
    options.messages = 10;
    const LineFixture b = build(QStringLiteral("b"), options);
    Loaded from = source(a);
    IOSLineDb target(b.appRoot);
    LineMsgsDataSource all(from.data, nullptr, true);
    EXPECT_EQ(IOSLineMerger(target).merge(all).inserted, a.visibleMessages);

    const QString damagedId = a.special.value(LineFixtureSpecial::TextDamagedEmoji);
    Sqlite3Cursor text =
        target.query(Sqlite3Sql("select ZTEXT from ZMESSAGE where ZID=?").addTextParam(damagedId));
    ASSERT_TRUE(text.moveNext());
    EXPECT_FALSE(text.getTextBytes(QStringLiteral("ZTEXT")).contains("\xEF\xBF\xBD"));
    text = {};
    // Damage it again as an old transfer left it; the next transfer repairs it without adding a row.
    target.execute(
        Sqlite3Sql("update ZMESSAGE set ZTEXT=? where ZID=?")
            .addTextBytesParam(QByteArray("x \xF4\x80\x80\x81\xF4\x80\x80\x82\xF4\x80\x81\x80\xEF\xBF\xBD y"))
            .addTextParam(damagedId));
    target.execute("update Z_PRIMARYKEY set Z_MAX=999999 where Z_NAME='Message'");
    const qint64 rows = count(target, QStringLiteral("select count(*) from ZMESSAGE"));
    EXPECT_EQ(IOSLineMerger(target).merge(all).inserted, 0);
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZMESSAGE")), rows);
    text = target.query(Sqlite3Sql("select ZTEXT from ZMESSAGE where ZID=?").addTextParam(damagedId));
    ASSERT_TRUE(text.moveNext());
    EXPECT_EQ(text.getTextBytes(QStringLiteral("ZTEXT")),
              QByteArray("x \xF4\x80\x80\x81\xF4\x80\x80\x82\xF4\x80\x81\x80\xF4\x8F\xBF\xBF y"));
    text = {};
    // A counter above the rows stays where it is: the app may have handed those keys out.
    EXPECT_EQ(count(target, QStringLiteral("select Z_MAX from Z_PRIMARYKEY where Z_NAME='Message'")), 999999);
    EXPECT_EQ(count(target, QStringLiteral("select Z_MAX from Z_PRIMARYKEY where Z_NAME='Chat'")),
              count(target, QStringLiteral("select max(Z_PK) from ZCHAT")));
}

TEST_F(IOSLineMergerTest, AChatHiddenOnThePhoneComesBackWithItsMessages)
{
    LineFixtureOptions options;
    options.seed = 31;
    const LineFixture a = build(QStringLiteral("a"), options);
    const LineFixture b = build(QStringLiteral("b"), options);
    const QString hidden = a.chats.first().mid;
    {
        Sqlite3DB raw;
        raw.openFile(b.storePath(), Sqlite3DB::OpenReadWrite);
        raw.execute(Sqlite3Sql("update ZCHAT set ZENABLE=0 where ZMID=?").addTextParam(hidden));
    }
    Loaded from = source(a);
    {
        IOSLineDb target(b.appRoot);
        LineMsgsDataSource all(from.data, nullptr, true);
        EXPECT_EQ(IOSLineMerger(target).merge(all).inserted, a.chats.first().visibleMessages);
    }
    Loaded to = load(std::make_shared<IOSLineDb>(b.appRoot));
    ASSERT_NE(to.chat(hidden), nullptr);
    EXPECT_EQ(to.db->countMessages(to.chat(hidden)), a.chats.first().visibleMessages);
}

TEST_F(IOSLineMergerTest, TheWrittenRowsFollowLinesConventions)
{
    LineFixtureOptions options;
    options.seed = 41;
    options.messages = 5;
    const LineFixture b = build(QStringLiteral("b"), options);
    LineRecordsBuilder records;
    _LineUser* peer =
        records.user(QStringLiteral("u0000000000000000000000000000peer"), QStringLiteral("Peer"));
    _LineUser* friendUser =
        records.user(QStringLiteral("u000000000000000000000000000friend"), QStringLiteral("Friend"));
    _LineChat* single =
        records.chat(QStringLiteral("u0000000000000000000000000000peer"), _LineChat::Single, {peer});
    _LineChat* room = records.chat(QStringLiteral("r0000000000000000000000000000room"), _LineChat::Multi,
                                   {peer, friendUser});
    auto photo = [&](_LineChat* chat, _LineUser* sender, const char* uid) {
        _LineMsg message = LineRecordsBuilder::text(chat, sender, QString::fromLatin1(uid), 1600000000, {});
        message.type = MessageType::Photo;
        return message;
    };
    QList<_LineMsg> messages = {photo(single, peer, "p1"), photo(single, nullptr, "p2"),
                                photo(room, friendUser, "p3")};
    _LineMsg voice = LineRecordsBuilder::text(room, nullptr, QStringLiteral("v1"), 1600000001, {});
    voice.type = MessageType::Voice;
    voice.setSize(4900);
    messages << voice;
    _LineMsg contact = LineRecordsBuilder::text(single, peer, QStringLiteral("k1"), 1600000002, {});
    contact.type = MessageType::Contact;
    contact.setContact(QStringLiteral("u42"), QStringLiteral("A & \"B\" <C>"));
    messages << contact;
    messages << LineRecordsBuilder::text(single, peer, QStringLiteral("0"), 1600000003, "zero id");

    IOSLineDb target(b.appRoot, QStringLiteral("/var/mobile/Containers/Data/Application/ABC"));
    LineMsgsListSource list(messages);
    const IOSLineMerger::Result result = IOSLineMerger(target).merge(list);
    EXPECT_EQ(result.seen, 5); // uid "0" counts as none
    auto text = [&](const char* uid) {
        Sqlite3Cursor cursor = target.query(
            Sqlite3Sql("select ZTEXT from ZMESSAGE where ZID=?").addTextParam(QString::fromLatin1(uid)));
        EXPECT_TRUE(cursor.moveNext()) << uid;
        return cursor.isNull(QStringLiteral("ZTEXT")) ? QStringLiteral("<null>")
                                                      : cursor.getText(QStringLiteral("ZTEXT"));
    };
    EXPECT_EQ(text("p1"), QStringLiteral("<null>"));
    EXPECT_EQ(text("p2"), QStringLiteral("You sent a photo."));
    EXPECT_EQ(text("p3"), QStringLiteral("Friend sent you a photo."));
    EXPECT_EQ(text("v1"), QStringLiteral("/var/mobile/Containers/Data/Application/ABC/") +
                              target.accountPrefix() +
                              QStringLiteral("Message Attachments/r0000000000000000000000000000room/v1.mp4"));
    Sqlite3Cursor metadata = target.query("select ZCONTENTMETADATA from ZMESSAGE where ZID='k1'");
    ASSERT_TRUE(metadata.moveNext());
    const QByteArray plist = metadata.getBlob(QStringLiteral("ZCONTENTMETADATA"));
    EXPECT_TRUE(plist.startsWith("bplist00"));
    EXPECT_TRUE(plist.contains("A &amp; &quot;B&quot; &lt;C&gt;"));
    metadata = {};
    // The chat list shows the newest message of each chat the way LINE words it.
    EXPECT_EQ(
        count(target,
              QStringLiteral("select count(*) from ZCHAT where ZMID='r0000000000000000000000000000room' and "
                             "ZLASTMESSAGE='You sent a voice message.' and ZLASTRECEIVEDMESSAGEID=''")),
        1);
    EXPECT_EQ(
        count(target,
              QStringLiteral(
                  "select count(*) from ZCHAT where ZMID='u0000000000000000000000000000peer' and "
                  "ZLASTMESSAGE='Peer sent you a friend''s contact info.' and ZLASTRECEIVEDMESSAGEID='k1'")),
        1);
    // Writing directly: the id "0" is never looked up, so it is always inserted.
    EXPECT_EQ(target.findMessage(target.findChat(single->uid).pk, QStringLiteral("0")), 0);
}

TEST_F(IOSLineMergerTest, AStoreWithoutKeyBookkeepingIsRefusedAndLeftAsItWas)
{
    LineFixtureOptions options;
    options.seed = 51;
    const LineFixture a = build(QStringLiteral("a"), options);
    const LineFixture b = build(QStringLiteral("b"), options);
    {
        Sqlite3DB raw;
        raw.openFile(b.storePath(), Sqlite3DB::OpenReadWrite);
        raw.execute("delete from Z_PRIMARYKEY");
    }
    Loaded from = source(a);
    IOSLineDb target(b.appRoot);
    target.open();
    const qint64 rows = count(target, QStringLiteral("select count(*) from ZMESSAGE"));
    LineMsgsDataSource all(from.data, nullptr, true);
    try {
        IOSLineMerger(target).merge(all);
        FAIL() << "wrote into a store without Z_PRIMARYKEY entities";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("Z_PRIMARYKEY"))) << error.what();
    }
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZMESSAGE")), rows);
    // Reading still works with the default join names.
    Loaded reread = load(IOSLineStoreCache::openCopy(b.appRoot));
    EXPECT_GT(reread.data->chats().size(), 0);
}

TEST_F(IOSLineMergerTest, ACancelledTransferCommitsNothing)
{
    LineFixtureOptions options;
    options.seed = 61;
    const LineFixture a = build(QStringLiteral("a"), options);
    options.seed = 62;
    const LineFixture b = build(QStringLiteral("b"), options);
    Loaded from = source(a);
    IOSLineDb target(b.appRoot);
    target.open();
    const qint64 rows = count(target, QStringLiteral("select count(*) from ZMESSAGE"));
    const qint64 chats = count(target, QStringLiteral("select count(*) from ZCHAT"));
    int asked = 0;
    JobControl::Listener listener;
    listener.cancelled = [&] { return ++asked > 40; };
    LineMsgsDataSource all(from.data, nullptr, true);
    EXPECT_TRUE(IOSLineMerger(target, JobControl(listener)).merge(all).cancelled);
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZMESSAGE")), rows);
    EXPECT_EQ(count(target, QStringLiteral("select count(*) from ZCHAT")), chats);
}

} // namespace
