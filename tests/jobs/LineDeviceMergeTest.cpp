// Merging into a copy of an iPhone's LINE data, and the files listed for the device's backup.
#include "jobs/LineDeviceMerge.h"
#include "LineFixtureBuilder.h"
#include "TestFiles.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineMsgsListSource.h"
#include "storage/Sqlite3DB.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

PDeviceInfo deviceOn(const QString& version)
{
    auto device = std::make_shared<DeviceInfo>();
    device->udid = QStringLiteral("virtual_test");
    device->productVersion = version;
    return device;
}

qint64 storeValue(const LineFixture& fixture, const QString& sql)
{
    Sqlite3DB db;
    db.openFile(fixture.storePath(), SQLITE_OPEN_READONLY);
    return db.queryInt64(sql);
}

class LineDeviceMergeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        LineFixtureOptions options;
        options.seed = 5;
        options.messages = 70;
        m_source = LineFixtureBuilder::build(m_dir.filePath(QStringLiteral("source")), options);
        m_sourceDb = IOSLineStoreCache::openCopy(m_source.appRoot);
        m_sourceData = std::make_shared<_LineData>(m_sourceDb);
        m_sourceDb->loadContacts(m_sourceData);
    }

    LineFixture target(const QString& name)
    {
        LineFixtureOptions options;
        options.messages = 50;
        return LineFixtureBuilder::build(m_dir.filePath(name), options);
    }

    PAbsLineMsgsSource allSourceMessages() const
    {
        return std::make_shared<LineMsgsDataSource>(m_sourceData, nullptr, true);
    }

    QTemporaryDir m_dir;
    JobControl m_control;
    LineFixture m_source;
    std::shared_ptr<IOSLineDb> m_sourceDb;
    std::shared_ptr<_LineData> m_sourceData;
};

TEST_F(LineDeviceMergeTest, MergesOnceListsTheStoreAndMediaInTheirDomainsAndShowsAHiddenChatAgain)
{
    const LineFixture phone = target(QStringLiteral("phone"));
    const qint64 rows =
        storeValue(phone, QStringLiteral("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106"));
    LineDeviceMerge first(deviceOn(QStringLiteral("16.5")), phone.appRoot, allSourceMessages());
    first.run(m_control);
    EXPECT_EQ(first.handledCount(), m_source.visibleMessages);
    EXPECT_EQ(first.insertedCount(), m_source.visibleMessages);
    EXPECT_EQ(storeValue(phone, QStringLiteral("select count(*) from ZMESSAGE")),
              rows + m_source.visibleMessages);

    int media = 0;
    ASSERT_GE(first.items().size(), 3);
    for (const MergeItem& item : first.items()) {
        EXPECT_TRUE(QFileInfo::exists(item.localPath)) << item.localPath.toStdString();
        EXPECT_FALSE(item.classD);
        if (item.overwrite) {
            EXPECT_EQ(item.domain, LineDeviceMerge::GroupDomain);
            EXPECT_TRUE(item.relativePath.startsWith(phone.storeRelativePath))
                << item.relativePath.toStdString();
            // The companions go back empty.
            if (item.relativePath != phone.storeRelativePath) {
                EXPECT_EQ(QFileInfo(item.localPath).size(), 0);
            }
            continue;
        }
        ++media;
        EXPECT_EQ(item.domain, LineDeviceMerge::GroupDomain);
        EXPECT_TRUE(
            item.relativePath.startsWith(phone.accountPrefix + QStringLiteral("Message Attachments/")) ||
            item.relativePath.startsWith(phone.accountPrefix + QStringLiteral("Message Thumbnails/")))
            << item.relativePath.toStdString();
    }
    EXPECT_GT(media, 0);
    EXPECT_EQ(first.items().size(), media + 3);

    EXPECT_TRUE(first.storeChanged());

    // Again: nothing added and no row changed, so the store is not listed (the backup keeps its own);
    // the media are, for a phone that lacks them.
    LineDeviceMerge second(deviceOn(QStringLiteral("16.5")), phone.appRoot, allSourceMessages());
    second.run(m_control);
    EXPECT_EQ(second.insertedCount(), 0);
    EXPECT_FALSE(second.storeChanged());
    EXPECT_EQ(second.items().size(), media);
    for (const MergeItem& item : second.items())
        EXPECT_FALSE(item.overwrite) << item.relativePath.toStdString();
    EXPECT_EQ(storeValue(phone, QStringLiteral("select count(*) from ZMESSAGE")),
              rows + m_source.visibleMessages);

    // A message of a chat the user hid on the phone: the chat and its own messages stay and it shows again.
    const LineFixtureChat* hidden = nullptr;
    for (const LineFixtureChat& chat : phone.chats)
        hidden = chat.enabled ? hidden : &chat;
    ASSERT_NE(hidden, nullptr);
    const QString inHidden = QStringLiteral("select count(*) from ZMESSAGE where ZCHAT=%1").arg(hidden->pk);
    const qint64 hiddenRows = storeValue(phone, inHidden);
    ASSERT_GT(hiddenRows, 0);
    _LineChat chat;
    chat.uid = hidden->mid;
    chat.type = hidden->type;
    _LineMsg message;
    message.uid = QStringLiteral("88776655443322");
    message.chat = &chat;
    message.text = QStringLiteral("back again");
    message.time = QDateTime::currentDateTime();
    LineDeviceMerge third(deviceOn(QStringLiteral("16.5")), phone.appRoot,
                          std::make_shared<LineMsgsListSource>(QList<_LineMsg>{message}));
    third.run(m_control);
    EXPECT_EQ(third.insertedCount(), 1);
    EXPECT_TRUE(third.storeChanged());
    EXPECT_EQ(storeValue(phone, QStringLiteral("select ZENABLE from ZCHAT where Z_PK=%1").arg(hidden->pk)),
              1);
    EXPECT_EQ(storeValue(phone, inHidden), hiddenRows + 1);
}

TEST_F(LineDeviceMergeTest, AnIOS7PhoneGetsEverythingUnderTheAppDomain)
{
    const LineFixture phone = target(QStringLiteral("old"));
    LineDeviceMerge merge(deviceOn(QStringLiteral("7.1.2")), phone.appRoot, allSourceMessages());
    merge.run(m_control);
    ASSERT_FALSE(merge.items().isEmpty());
    for (const MergeItem& item : merge.items())
        EXPECT_EQ(item.domain, LineDeviceMerge::AppDomain) << item.relativePath.toStdString();
    EXPECT_EQ(LineDeviceMerge::storeDomain(*deviceOn(QString())), LineDeviceMerge::GroupDomain);
}

} // namespace
