#include "line/LineLocalDb.h"
#include "LineRecordsBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/LineAttaKeys.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kOwnerlessChat = QStringLiteral("u00000000000000000000000000000c01");

class LineLocalDbTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.filePath(QStringLiteral("db")); }

    // Opens a fresh object on the folder and loads its contacts into a new data set.
    std::shared_ptr<LineLocalDb> reopen()
    {
        auto db = std::make_shared<LineLocalDb>(folder());
        m_data = std::make_shared<_LineData>(db);
        db->loadContacts(m_data);
        return db;
    }

    _LineChat* loadedChat(const QString& uid) const
    {
        for (_LineChat* chat : m_data->chats()) {
            if (chat->uid == uid)
                return chat;
        }
        return nullptr;
    }

    static qint64 count(Sqlite3DB& db, const char* sql) { return db.queryInt64(Sqlite3Sql(sql), -1); }

    QTemporaryDir m_dir;
    std::shared_ptr<_LineData> m_data;
};

QStringList uidsOf(const QList<_LineMsg>& messages)
{
    QStringList uids;
    for (const _LineMsg& message : messages)
        uids << message.uid;
    return uids;
}

TEST_F(LineLocalDbTest, OpeningAnEmptyFolderCreatesTheWholeSchemaAndMediaFolders)
{
    LineLocalDb db(folder());
    db.open();
    EXPECT_TRUE(QFileInfo(db.dbFilePath()).isFile());
    EXPECT_TRUE(QFileInfo(db.thumbsFolder()).isDir());
    EXPECT_TRUE(QFileInfo(db.filesFolder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(db.dbFilePath() + QStringLiteral(".creating")));
    for (const char* table :
         {"line_chat", "line_user", "line_group", "line_chat_users", "line_group_members", "line_msg"})
        EXPECT_TRUE(db.schema().hasTable(QLatin1String(table))) << table;
    for (const char* index :
         {"index_line_chat_uid", "index_line_user_uid", "index_line_group_uid", "index_line_group_creator_id",
          "index_line_msg_chat_ts", "index_line_msg_uid", "_vr_idx_line_msg_ts"})
        EXPECT_TRUE(db.schema().hasObject(QLatin1String(index))) << index;
    EXPECT_TRUE(db.schema().hasColumn(QStringLiteral("line_msg"), QStringLiteral("ver")));
    EXPECT_TRUE(db.schema().hasColumn(QStringLiteral("line_user"), QStringLiteral("custom_name")));
}

TEST_F(LineLocalDbTest, AnOlderFileGainsTheNewColumnsAndIndexOnceAndKeepsItsRows)
{
    QDir().mkpath(folder());
    {
        Sqlite3DB old;
        old.openFile(QDir(folder()).filePath(LineLocalDb::DbFileName), Sqlite3DB::OpenReadWriteCreate);
        QString error;
        ASSERT_EQ(
            old.exec(
                QStringLiteral(
                    "CREATE TABLE line_chat(_id INTEGER PRIMARY KEY AUTOINCREMENT, uid VARCHAR, type "
                    "VARCHAR);"
                    "CREATE TABLE line_user(_id INTEGER PRIMARY KEY AUTOINCREMENT, uid VARCHAR, "
                    "contact_name VARCHAR, server_name VARCHAR, create_ts LONG, pic_uri VARCHAR);"
                    "CREATE TABLE line_group(_id INTEGER PRIMARY KEY AUTOINCREMENT, uid VARCHAR, "
                    "creator_id INTEGER, name VARCHAR, pic_status VARCHAR, create_ts LONG);"
                    "CREATE TABLE line_chat_users(chat_id INTEGER, user_id INTEGER, PRIMARY KEY(chat_id, "
                    "user_id));"
                    "CREATE TABLE line_group_members(group_id INTEGER, user_id INTEGER, "
                    "PRIMARY KEY(group_id, user_id));"
                    "CREATE TABLE line_msg(_id INTEGER PRIMARY KEY AUTOINCREMENT, uid VARCHAR, type VARCHAR, "
                    "ts LONG, delivered_ts LONG, chat_id INTEGER, from_id INTEGER, content TEXT, atta BLOB);"
                    "INSERT INTO line_chat(uid, type) VALUES('uchat', 'single');"
                    "INSERT INTO line_msg(uid, type, ts, chat_id, content) VALUES('m1', 'text', 100, 1, "
                    "'hi');"),
                &error),
            0)
            << error.toStdString();
    }
    for (int round = 0; round < 2; ++round) {
        auto db = reopen();
        EXPECT_TRUE(db->schema().hasColumn(QStringLiteral("line_msg"), QStringLiteral("ver")));
        EXPECT_TRUE(db->schema().hasColumn(QStringLiteral("line_user"), QStringLiteral("custom_name")));
        EXPECT_TRUE(db->schema().hasObject(QStringLiteral("_vr_idx_line_msg_ts")));
        EXPECT_EQ(count(*db, "select count(*) from sqlite_master where name='_vr_idx_line_msg_ts'"), 1);
        const QList<_LineMsg> messages = db->loadMessages(nullptr, 1, 10, true);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].text, QStringLiteral("hi"));
    }
}

TEST_F(LineLocalDbTest, UsersWithoutAUserMidGoWithTheirMessagesAndMemberships)
{
    {
        LineLocalDb db(folder());
        db.open();
        LineRecordsBuilder records;
        _LineUser* person = records.user(QStringLiteral("u1111"));
        _LineUser* odd = records.user(QStringLiteral("c2222"));
        _LineChat* chat = records.chat(QStringLiteral("c9999"), _LineChat::Group, {person, odd});
        _LineGroup* group = records.group(chat, QStringLiteral("club"), person, {person, odd});
        const qint64 chatId = db.insertChat(*chat);
        db.linkChatUsers(chatId, *chat);
        db.linkGroupMembers(db.insertGroup(*group), *group);
        db.insertMessage(chatId, LineRecordsBuilder::text(chat, person, QStringLiteral("m1"), 100, "kept"));
        db.insertMessage(chatId, LineRecordsBuilder::text(chat, odd, QStringLiteral("m2"), 101, "removed"));
        db.insertMessage(chatId, LineRecordsBuilder::text(chat, nullptr, QStringLiteral("m3"), 102, "mine"));
    }
    auto db = reopen();
    EXPECT_EQ(count(*db, "select count(*) from line_user"), 1);
    EXPECT_EQ(count(*db, "select count(*) from line_chat_users"), 1);
    EXPECT_EQ(count(*db, "select count(*) from line_group_members"), 1);
    EXPECT_EQ(uidsOf(db->loadMessages(nullptr, 1, 10, true)), (QStringList{"m1", "m3"}));
}

TEST_F(LineLocalDbTest, OldRowsRegainLostEmojiTerminatorsNewRowsKeepTheirBytes)
{
    const QByteArray damaged =
        QByteArray("a ") + "\xF4\x80\x80\x81\xF4\x80\x80\x82\xF4\x80\x81\x80" + "\xEF\xBF\xBD" + " b";
    {
        LineLocalDb db(folder());
        db.open();
        db.execute("insert into line_chat(uid, type) values('u1', 'single')");
        db.execute(Sqlite3Sql("insert into line_msg(uid, type, ts, chat_id, content, ver) values('old', "
                              "'text', 1, 1, ?, 0)")
                       .addTextBytesParam(damaged));
        db.execute(Sqlite3Sql("insert into line_msg(uid, type, ts, chat_id, content, ver) "
                              "values('null', 'text', 2, 1, ?, NULL)")
                       .addTextBytesParam(damaged));
        db.execute(Sqlite3Sql("insert into line_msg(uid, type, ts, chat_id, content, ver) values('new', "
                              "'text', 3, 1, ?, 1)")
                       .addTextBytesParam(damaged));
    }
    auto db = reopen();
    const QList<_LineMsg> messages = db->loadMessages(nullptr, 1, 10, true);
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0].text, QStringLiteral("a [EMOJI] b"));
    EXPECT_EQ(messages[1].text, QStringLiteral("a [EMOJI] b"));
    EXPECT_EQ(messages[2].content, damaged);
    EXPECT_TRUE(messages[2].text.contains(QChar(0xFFFD)));
}

TEST_F(LineLocalDbTest, EveryTypeRoundTripsThroughInsertAndLoad)
{
    LineRecordsBuilder records;
    _LineUser* alice = records.user(QStringLiteral("u0a11ce"), QStringLiteral("Alice"));
    alice->addressBookName = QStringLiteral("Alice (book)");
    alice->customName = QStringLiteral("Ally");
    alice->pictureUrl = QStringLiteral("/p/alice");
    _LineUser* bob = records.user(QStringLiteral("u0b0b"), QStringLiteral("Bob"));
    _LineChat* chat = records.chat(QStringLiteral("c0123"), _LineChat::Group, {alice, bob});
    records.group(chat, QStringLiteral("Friends"), alice, {alice, bob});

    QList<_LineMsg> written;
    // Bytes that are not valid UTF-8 must come back unchanged.
    written << LineRecordsBuilder::text(chat, alice, QStringLiteral("1"), 1000,
                                        QByteArray("caf\xC3\xA9 \xFF\xFE raw"));
    _LineMsg photo = LineRecordsBuilder::text(chat, nullptr, QStringLiteral("2"), 1001, {});
    photo.type = MessageType::Photo;
    photo.setWidth(640);
    photo.setHeight(480);
    written << photo;
    _LineMsg sticker = LineRecordsBuilder::text(chat, bob, QStringLiteral("3"), 1002, {});
    sticker.type = MessageType::Sticker;
    sticker.setSticker({12, 1, 100});
    written << sticker;
    _LineMsg location = LineRecordsBuilder::text(chat, bob, QStringLiteral("4"), 1003, {});
    location.type = MessageType::Location;
    location.setLocation({35.5, 139.25, QStringLiteral("Tokyo")});
    written << location;
    _LineMsg file = LineRecordsBuilder::text(chat, alice, QStringLiteral("5"), 1004, {});
    file.type = MessageType::File;
    file.setFileName(QStringLiteral("report.final.PDF"));
    written << file;

    {
        LineLocalDb db(folder());
        db.open();
        Sqlite3Transaction transaction(db);
        const qint64 chatId = db.insertChat(*chat);
        db.linkChatUsers(chatId, *chat);
        db.linkGroupMembers(db.insertGroup(*chat->group), *chat->group);
        for (const _LineMsg& message : written)
            db.insertMessage(chatId, message);
        transaction.commit();
    }
    auto db = reopen();
    _LineChat* loaded = loadedChat(chat->uid);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->type, _LineChat::Group);
    EXPECT_EQ(loaded->members.size(), 2);
    ASSERT_NE(loaded->group, nullptr);
    EXPECT_EQ(loaded->group->name, QStringLiteral("Friends"));
    ASSERT_NE(loaded->group->creator, nullptr);
    EXPECT_EQ(loaded->group->creator->uid, alice->uid);
    EXPECT_EQ(loaded->group->members.size(), 2);
    EXPECT_EQ(loaded->lastUpdated, QDateTime::fromSecsSinceEpoch(1004));

    const QList<_LineMsg> read = db->loadMessages(loaded, 1, 100, true);
    ASSERT_EQ(read.size(), written.size());
    for (int i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].uid, written[i].uid);
        EXPECT_EQ(read[i].type, written[i].type);
        EXPECT_EQ(read[i].time, written[i].time);
        EXPECT_EQ(read[i].content, written[i].content);
        EXPECT_EQ(read[i].atta, written[i].atta);
        EXPECT_EQ(read[i].chat, loaded);
        EXPECT_EQ(read[i].sender ? read[i].sender->uid : QString(),
                  written[i].sender ? written[i].sender->uid : QString());
    }
    const _LineUser* readAlice = read[0].sender;
    EXPECT_EQ(readAlice->addressBookName, alice->addressBookName);
    EXPECT_EQ(readAlice->customName, QStringLiteral("Ally"));
    EXPECT_EQ(readAlice->pictureUrl, QStringLiteral("/p/alice"));
    EXPECT_EQ(readAlice->createdTime, alice->createdTime);
    EXPECT_EQ(read[1].thumbPath, QDir(db->thumbsFolder()).filePath(QStringLiteral("c0123/2.thumb.jpg")));
    EXPECT_EQ(read[1].filePath, QDir(db->filesFolder()).filePath(QStringLiteral("c0123/2.jpg")));
    EXPECT_TRUE(read[2].thumbPath.isEmpty());
    EXPECT_EQ(read[4].filePath, QDir(db->filesFolder()).filePath(QStringLiteral("c0123/5.PDF")));
}

TEST_F(LineLocalDbTest, MediaPathsFollowTheNamingRule)
{
    LineLocalDb db(folder());
    _LineMsg message;
    message.uid = QStringLiteral("77");
    message.type = MessageType::Video;
    auto file = [&](const QString& name) { return QDir(db.filesFolder()).filePath(name); };
    // No chat: the 33-zero folder.
    EXPECT_EQ(db.mediaPaths(message).filePath, file(LineLocalDb::NoChatFolder + QStringLiteral("/77.mp4")));
    EXPECT_EQ(db.mediaPaths(message).thumbPath,
              QDir(db.thumbsFolder()).filePath(LineLocalDb::NoChatFolder + QStringLiteral("/77.thumb.jpg")));
    message.type = MessageType::Voice;
    EXPECT_EQ(db.mediaPaths(message).filePath, file(LineLocalDb::NoChatFolder + QStringLiteral("/77.aac")));
    EXPECT_TRUE(db.mediaPaths(message).thumbPath.isEmpty());
    message.type = MessageType::File;
    message.setFileName(QStringLiteral("notes"));
    EXPECT_EQ(db.mediaPaths(message).filePath, file(LineLocalDb::NoChatFolder + QStringLiteral("/77")));
    // A suffix cannot bring a separator into the path.
    message.setFileName(QStringLiteral("evil.a\\b:c"));
    EXPECT_FALSE(db.mediaPaths(message).filePath.contains(QLatin1Char('\\')));
    EXPECT_FALSE(db.mediaPaths(message).filePath.mid(2).contains(QLatin1Char(':')));
    message.type = MessageType::Sticker;
    EXPECT_TRUE(db.mediaPaths(message).filePath.isEmpty());
    // Chat and message ids are written in the file-name-safe form.
    _LineChat chat;
    chat.uid = QStringLiteral("c/..");
    message.chat = &chat;
    message.uid = QStringLiteral("a/b");
    message.type = MessageType::Photo;
    EXPECT_EQ(db.mediaPaths(message).filePath, file(QStringLiteral("c%2F../a%2Fb.jpg")));
}

TEST_F(LineLocalDbTest, MessagesWithoutARealUidAreNeverFound)
{
    LineLocalDb db(folder());
    db.open();
    const qint64 chatId = db.insertChat(_LineChat{0, QStringLiteral("u1")});
    db.insertMessage(chatId, LineRecordsBuilder::text(nullptr, nullptr, QString(), 1, "empty"));
    db.insertMessage(chatId, LineRecordsBuilder::text(nullptr, nullptr, QStringLiteral("0"), 2, "zero"));
    const qint64 real =
        db.insertMessage(chatId, LineRecordsBuilder::text(nullptr, nullptr, QStringLiteral("9"), 3, "x"));
    EXPECT_EQ(db.findMessage(chatId, QString()), 0);
    EXPECT_EQ(db.findMessage(chatId, QStringLiteral("0")), 0);
    EXPECT_EQ(db.findMessage(chatId, QStringLiteral("9")), real);
    EXPECT_EQ(db.findMessage(chatId + 1, QStringLiteral("9")), 0);
}

TEST_F(LineLocalDbTest, TypeWordsAreReadWithoutRegardToCase)
{
    {
        LineLocalDb db(folder());
        db.open();
        db.execute("insert into line_chat(uid, type) values('u1', 'SINGLE')");
        db.execute("insert into line_msg(uid, type, ts, chat_id, ver) values('p', 'Photo', 1, 1, 1)");
        db.execute("insert into line_msg(uid, type, ts, chat_id, ver) values('q', 'gif', 2, 1, 1)");
    }
    auto db = reopen();
    const QList<_LineMsg> messages = db->loadMessages(nullptr, 1, 10, true);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].type, MessageType::Photo);
    EXPECT_EQ(messages[1].type, MessageType::Text);
}

TEST_F(LineLocalDbTest, PagingByKeysetGivesWhatOffsetPagingGives)
{
    {
        LineLocalDb db(folder());
        db.open();
        Sqlite3Transaction transaction(db);
        QList<qint64> chats;
        for (int c = 0; c < 3; ++c)
            chats << db.insertChat(_LineChat{0, QStringLiteral("u%1").arg(c)});
        // Many equal times, out of key order, spread over the chats.
        for (int i = 0; i < 600; ++i) {
            const qint64 ts = 1000 + (i * 37 % 101) / 4;
            db.insertMessage(chats[i % 3],
                             LineRecordsBuilder::text(nullptr, nullptr, QString::number(i), ts, "x"));
        }
        transaction.commit();
    }
    auto db = reopen();
    for (_LineChat* chat : {static_cast<_LineChat*>(nullptr), loadedChat(QStringLiteral("u1"))}) {
        for (bool ascending : {true, false}) {
            SCOPED_TRACE(ascending);
            Sqlite3Sql reference(chat ? "select m.uid from line_msg as m where m.chat_id=?"
                                      : "select m.uid from line_msg as m");
            if (chat)
                reference.addInt64Param(chat->id);
            reference.appendSql(ascending ? QStringLiteral(" order by ts asc, _id asc")
                                          : QStringLiteral(" order by ts desc, _id desc"));
            QStringList expected;
            Sqlite3Cursor cursor = db->query(reference);
            while (cursor.moveNext())
                expected << cursor.getText(QStringLiteral("uid"));

            QStringList walked;
            for (qint64 page = 1;; ++page) {
                const QList<_LineMsg> messages = db->loadMessages(chat, page, 7, ascending);
                if (messages.isEmpty())
                    break;
                walked += uidsOf(messages);
            }
            EXPECT_EQ(walked, expected);

            // Random access and repeated pages agree with the walk.
            for (qint64 page : {5, 2, 2, 3, 9, 1, 2}) {
                const QList<_LineMsg> messages = db->loadMessages(chat, page, 7, ascending);
                EXPECT_EQ(uidsOf(messages), expected.mid((page - 1) * 7, 7)) << page;
            }
        }
    }
}

TEST_F(LineLocalDbTest, DeletingMessagesRemovesOnlyThoseAndDropsEmptiedChats)
{
    LineRecordsBuilder records;
    _LineChat* one = records.chat(QStringLiteral("u1"), _LineChat::Single);
    _LineChat* two = records.chat(QStringLiteral("u2"), _LineChat::Single);
    {
        LineLocalDb db(folder());
        db.open();
        const qint64 first = db.insertChat(*one);
        const qint64 second = db.insertChat(*two);
        db.insertMessage(first, LineRecordsBuilder::text(one, nullptr, QStringLiteral("a"), 1, "a"));
        db.insertMessage(first, LineRecordsBuilder::text(one, nullptr, QStringLiteral("a"), 2, "a again"));
        db.insertMessage(first, LineRecordsBuilder::text(one, nullptr, QString(), 3, "no uid 1"));
        db.insertMessage(first, LineRecordsBuilder::text(one, nullptr, QString(), 4, "no uid 2"));
        db.insertMessage(second, LineRecordsBuilder::text(two, nullptr, QStringLiteral("b"), 5, "b"));
    }
    auto db = reopen();
    const QList<_LineMsg> all = db->loadMessages(nullptr, 1, 10, true);
    ASSERT_EQ(all.size(), 5);
    db->deleteMessages({all[0], all[2]});
    EXPECT_EQ(uidsOf(db->loadMessages(nullptr, 1, 10, true)), (QStringList{QString(), "b"}));
    db->deleteMessages({all[4]});
    EXPECT_EQ(count(*db, "select count(*) from line_chat"), 1);
    db->deleteChat(loadedChat(QStringLiteral("u1"))->id);
    EXPECT_EQ(count(*db, "select count(*) from line_chat"), 0);
    EXPECT_EQ(count(*db, "select count(*) from line_msg"), 0);
}

TEST_F(LineLocalDbTest, AFileThatIsNotADatabaseIsReportedInPlainWords)
{
    writeFileBytes(QDir(folder()).filePath(LineLocalDb::DbFileName),
                   QByteArray("just some text, not SQLite").repeated(50));
    LineLocalDb db(folder());
    try {
        db.open();
        FAIL() << "opened a text file";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("not a database")))
            << error.what();
    }
    EXPECT_FALSE(db.isOpen());
}

TEST_F(LineLocalDbTest, ADatabaseOfSomethingElseIsRefusedAndLeftAlone)
{
    QDir().mkpath(folder());
    const QString path = QDir(folder()).filePath(LineLocalDb::DbFileName);
    {
        Sqlite3DB other;
        other.openFile(path, Sqlite3DB::OpenReadWriteCreate);
        other.execute("create table notes(body text)");
    }
    const QByteArray before = readFileBytes(path);
    LineLocalDb db(folder());
    try {
        db.open();
        FAIL() << "opened a foreign database";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("line_chat"))) << error.what();
    }
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(readFileBytes(path), before);
}

TEST_F(LineLocalDbTest, ALockedDatabaseIsReportedAsInUse)
{
    {
        LineLocalDb db(folder());
        db.open();
    }
    Sqlite3DB holder;
    holder.openFile(QDir(folder()).filePath(LineLocalDb::DbFileName), Sqlite3DB::OpenReadWrite);
    holder.execute("BEGIN EXCLUSIVE");
    LineLocalDb db(folder());
    try {
        db.open();
        FAIL() << "opened a locked database";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("in use by another program")))
            << error.what();
    }
    holder.execute("ROLLBACK");
    EXPECT_NO_THROW(db.open());
}

} // namespace
