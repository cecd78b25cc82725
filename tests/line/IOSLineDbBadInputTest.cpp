#include "LineFixtureBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "storage/Sqlite3DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Stores the builder made and a test then damaged. Reading goes through the cache, like every reader.
class IOSLineDbBadInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        LineFixtureOptions options;
        options.messages = 200;
        m_fixture = LineFixtureBuilder::build(m_dir.filePath(QStringLiteral("app")), options);
    }

    void damage(std::initializer_list<const char*> statements)
    {
        Sqlite3DB raw;
        raw.openFile(m_fixture.storePath(), Sqlite3DB::OpenReadWrite);
        for (const char* statement : statements)
            raw.execute(Sqlite3Sql(statement));
    }

    // Loads the store and walks every message both ways; returns how many were listed.
    qint64 readEverything()
    {
        auto db = IOSLineStoreCache::openCopy(m_fixture.appRoot);
        auto data = std::make_shared<_LineData>(db, 37);
        db->loadContacts(data);
        qint64 listed = 0;
        for (bool ascending : {true, false}) {
            LineMsgsDataSource all(data, nullptr, ascending);
            const qint64 count = all.count();
            for (qint64 i = 0; i < count; ++i) {
                const _LineMsg message = all.message(i);
                EXPECT_FALSE(message.uid.isEmpty());
                message.displayText();
                ++listed;
            }
        }
        return listed / 2;
    }

    QString errorOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        }
        return QStringLiteral("<no error>");
    }

    QTemporaryDir m_dir;
    LineFixture m_fixture;
};

TEST_F(IOSLineDbBadInputTest, AStoreThatIsNotSQLiteIsReportedInPlainWords)
{
    writeFileBytes(m_fixture.storePath(), QByteArray("this is no database at all").repeated(200));
    const QString error = errorOf([&] { IOSLineStoreCache::openCopy(m_fixture.appRoot)->open(); });
    EXPECT_TRUE(error.contains(QStringLiteral("not a database"))) << error.toStdString();
}

TEST_F(IOSLineDbBadInputTest, AnEmptyStoreFileMeansNoLineData)
{
    writeFileBytes(m_fixture.storePath(), QByteArray());
    const QString error = errorOf([&] { IOSLineStoreCache::openCopy(m_fixture.appRoot)->open(); });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Found no LINE messages"))) << error.toStdString();
}

TEST_F(IOSLineDbBadInputTest, AStoreWithoutTheMessageTableNamesWhatIsMissing)
{
    damage({"drop table ZMESSAGE"});
    const QString error = errorOf([&] { IOSLineStoreCache::openCopy(m_fixture.appRoot)->open(); });
    EXPECT_TRUE(error.contains(QStringLiteral("ZMESSAGE"))) << error.toStdString();
}

TEST_F(IOSLineDbBadInputTest, ADamagedGroupStoreIsNamed)
{
    writeFileBytes(m_fixture.groupStorePath(), QByteArray("garbage").repeated(1000));
    const QString error = errorOf([&] { IOSLineStoreCache::openCopy(m_fixture.appRoot)->open(); });
    EXPECT_TRUE(error.contains(QStringLiteral("UnifiedGroup.sqlite"))) << error.toStdString();
}

TEST_F(IOSLineDbBadInputTest, ALockedStoreIsReportedAsInUse)
{
    // Opened in place (as a device cache is), while another program holds the store.
    Sqlite3DB holder;
    holder.openFile(m_fixture.storePath(), Sqlite3DB::OpenReadWrite);
    holder.execute("BEGIN EXCLUSIVE");
    IOSLineDb db(m_fixture.appRoot);
    const QString error = errorOf([&] { db.open(); });
    EXPECT_TRUE(error.contains(QStringLiteral("in use by another program"))) << error.toStdString();
    EXPECT_FALSE(db.isOpen());
    holder.execute("ROLLBACK");
    EXPECT_NO_THROW(db.open());
}

TEST_F(IOSLineDbBadInputTest, NullsAndWrongTypesAreReadAsEmptyOrLeftOut)
{
    damage({"update ZMESSAGE set ZTIMESTAMP=NULL where Z_PK % 11 = 0",
            "update ZMESSAGE set ZTIMESTAMP='yesterday' where Z_PK % 11 = 1",
            "update ZMESSAGE set ZCONTENTTYPE=NULL where Z_PK % 11 = 2",
            "update ZMESSAGE set ZCHAT=NULL where Z_PK % 11 = 3",
            "update ZMESSAGE set ZSENDER='nobody' where Z_PK % 11 = 4",
            "update ZMESSAGE set ZLATITUDE='wide', ZLONGITUDE=X'00ff' where Z_PK % 11 = 5",
            "update ZMESSAGE set ZTHUMBNAIL='not a blob', ZTEXT=X'ff00fe' where Z_PK % 11 = 6",
            "update ZMESSAGE set ZID=123456 where Z_PK % 11 = 7",
            "update ZMESSAGE set ZCONTENTMETADATA=X'62706c6973743030ffffffff' where Z_PK % 11 = 8",
            "update ZUSER set ZCREATEDTIME='long ago', ZMID=NULL where Z_PK % 3 = 0",
            "update ZCHAT set ZTYPE=NULL, ZLASTUPDATED='recently' where Z_PK % 2 = 0",
            "update ZCHAT set ZMID=NULL where Z_PK = 3", "update ZSTICKERPACKAGE set ZSTICKERIDSTART=NULL"});
    auto db = IOSLineStoreCache::openCopy(m_fixture.appRoot);
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    const qint64 counted = db->countMessages(nullptr);
    EXPECT_GT(counted, 0);
    EXPECT_LT(counted, m_fixture.visibleMessages);
    EXPECT_EQ(readEverything(), counted);
}

TEST_F(IOSLineDbBadInputTest, MetadataThatIsNoPropertyListGivesEmptyValues)
{
    damage({"update ZMESSAGE set ZCONTENTMETADATA=X'0001020304' where ZCONTENTMETADATA is not null"});
    EXPECT_EQ(readEverything(), m_fixture.visibleMessages);
}

TEST_F(IOSLineDbBadInputTest, OptionalTablesAndColumnsMayBeMissing)
{
    damage({"alter table ZCHAT drop column ZENABLE", "drop table ZSTICKERPACKAGE", "drop table ZCHATMETADATA",
            "drop table Z_1MEMBERS", "drop table Z_PRIMARYKEY"});
    // Without ZENABLE every chat is kept, the hidden ones included.
    qint64 all = 0;
    for (const LineFixtureChat& chat : m_fixture.chats)
        all += chat.enabled ? chat.visibleMessages : 0;
    EXPECT_GT(readEverything(), all);
}

} // namespace
