#include "LineFixtureBuilder.h"
#include "LineFixtureSpecial.h"
#include "QtPrinters.h"
#include "storage/Sqlite3DB.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every row of every table of a store, in storage order, as one hash.
QByteArray contentHash(const QString& path)
{
    Sqlite3DB db;
    db.openFile(path, Sqlite3DB::OpenReadOnly);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList tables;
    Sqlite3Cursor names = db.query("select name from sqlite_master where type='table' order by name");
    while (names.moveNext())
        tables << names.getText(QStringLiteral("name"));
    for (const QString& table : tables) {
        hash.addData(table.toUtf8());
        Sqlite3Cursor rows = db.query(QStringLiteral("select * from \"%1\"").arg(table));
        while (rows.moveNext()) {
            for (int i = 0; i < rows.columnCount(); ++i)
                hash.addData(rows.getValue(rows.columnName(i)).toString().toUtf8() + '\x1f');
        }
    }
    return hash.result();
}

qint64 count(const QString& path, const QString& sql)
{
    Sqlite3DB db;
    db.openFile(path, Sqlite3DB::OpenReadOnly);
    return db.queryInt64(Sqlite3Sql(sql), -1);
}

TEST(LineFixtureTest, TheSameSeedBuildsTheSameStore)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.seed = 7;
    const LineFixture first = LineFixtureBuilder::build(dir.filePath(QStringLiteral("a")), options);
    const LineFixture second = LineFixtureBuilder::build(dir.filePath(QStringLiteral("b")), options);
    EXPECT_EQ(first.ownerMid, second.ownerMid);
    EXPECT_EQ(contentHash(first.storePath()), contentHash(second.storePath()));
    EXPECT_EQ(contentHash(first.groupStorePath()), contentHash(second.groupStorePath()));
    options.seed = 8;
    const LineFixture other = LineFixtureBuilder::build(dir.filePath(QStringLiteral("c")), options);
    EXPECT_NE(contentHash(first.storePath()), contentHash(other.storePath()));
}

TEST(LineFixtureTest, JoinTablesAreNamedFromTheEntityNumbers)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.groups = LineFixtureGroups::GroupTable;
    options.entities = LineFixtureEntities::alternative();
    const LineFixture fixture = LineFixtureBuilder::build(dir.path(), options);
    EXPECT_TRUE(fixture.groupStoreRelativePath.isEmpty());
    EXPECT_GT(count(fixture.storePath(),
                    QStringLiteral("select count(*) from Z_3MEMBERS where Z_3CHATS > 0 and Z_14MEMBERS > 0")),
              0);
    EXPECT_GT(
        count(fixture.storePath(),
              QStringLiteral("select count(*) from Z_7MEMBERS where Z_7GROUPS > 0 and Z_14MEMBERS1 > 0")),
        0);
    EXPECT_EQ(
        count(fixture.storePath(), QStringLiteral("select Z_ENT from Z_PRIMARYKEY where Z_NAME='Message'")),
        8);
    EXPECT_EQ(count(fixture.storePath(), QStringLiteral("select count(*) from ZMESSAGE where Z_ENT <> 8")),
              0);
    EXPECT_EQ(count(fixture.storePath(),
                    QStringLiteral("select count(*) from sqlite_master where name='Z_1MEMBERS'")),
              0);
}

TEST(LineFixtureTest, TheListedCountMatchesTheRowsAReaderWouldTake)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 2000;
    const LineFixture fixture = LineFixtureBuilder::build(dir.path(), options);
    const qint64 listable = count(
        fixture.storePath(),
        QStringLiteral("select count(*) from ZMESSAGE as m inner join ZCHAT as c on m.ZCHAT=c.Z_PK "
                       "and c.ZENABLE=1 where m.ZTIMESTAMP < 4000000000000 and m.ZID <> '' and "
                       "m.ZID is not null and m.ZCONTENTTYPE in (0, 107, 1, 2, 3, 7, 13, 14, 100, 112)"));
    EXPECT_EQ(fixture.visibleMessages, listable);
    EXPECT_GT(fixture.messageRows, fixture.visibleMessages);
    qint64 perChat = 0;
    for (const LineFixtureChat& chat : fixture.chats)
        perChat += chat.visibleMessages;
    EXPECT_EQ(perChat, fixture.visibleMessages);
    for (const QString& name : {LineFixtureSpecial::TextEmoji, LineFixtureSpecial::StickerBadMeta,
                                LineFixtureSpecial::AbsurdTime, LineFixtureSpecial::DisabledChatMessage})
        EXPECT_TRUE(fixture.special.contains(name)) << name.toStdString();
    // The catalogue's odd rows are there: no id, an empty id, types the program does not read.
    EXPECT_GT(count(fixture.storePath(), QStringLiteral("select count(*) from ZMESSAGE where ZID is null")),
              0);
    EXPECT_GT(count(fixture.storePath(), QStringLiteral("select count(*) from ZMESSAGE where ZID = ''")), 0);
    EXPECT_GT(
        count(fixture.storePath(), QStringLiteral("select count(*) from ZMESSAGE where ZCONTENTTYPE = 106")),
        0);
}

TEST(LineFixtureTest, PendingMessagesStayInTheWriteAheadLog)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.pendingWalMessages = 5;
    const LineFixture fixture = LineFixtureBuilder::build(dir.path(), options);
    EXPECT_GT(QFileInfo(fixture.storePath() + QStringLiteral("-wal")).size(), 0);
    EXPECT_EQ(count(fixture.storePath(), QStringLiteral("select count(*) from ZMESSAGE")),
              fixture.messageRows);
}

TEST(LineFixtureTest, EveryLayoutPutsTheStoreWhereThatLayoutHasIt)
{
    const QList<QPair<LineFixtureLayout, QString>> layouts = {
        {LineFixtureLayout::PrivateStore, QStringLiteral("Messages/Line.sqlite")},
        {LineFixtureLayout::PrivateStoreOtherAccount, QStringLiteral("Messages/Line.sqlite")},
        {LineFixtureLayout::DocumentsPrivateStore, QStringLiteral("/talk.sqlite")},
        {LineFixtureLayout::ApplicationSupport,
         QStringLiteral("Library/Application Support/Messages/Line.sqlite")},
        {LineFixtureLayout::DocumentsTalk, QStringLiteral("Documents/talk.sqlite")},
    };
    for (const auto& [layout, tail] : layouts) {
        QTemporaryDir dir;
        LineFixtureOptions options;
        options.layout = layout;
        options.messages = 20;
        const LineFixture fixture = LineFixtureBuilder::build(dir.path(), options);
        EXPECT_TRUE(fixture.storeRelativePath.endsWith(tail)) << fixture.storeRelativePath.toStdString();
        EXPECT_TRUE(QFileInfo(fixture.storePath()).isFile());
        EXPECT_TRUE(
            QFileInfo(dir.filePath(QStringLiteral("Library/Preferences/jp.naver.line.plist"))).isFile());
    }
}

} // namespace
