// The window's item models over real data: a local database written from the chat fixture, generated
// message sources and backup folders written by the backup fixture builder.
#include "BackupFixtureBuilder.h"
#include "ChatFixture.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsListSource.h"
#include "line/LineUser.h"
#include "ui/ItemModelLoadBk.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPixmap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage iconOf(const QAbstractItemModel& model, const QModelIndex& index)
{
    return model.data(index, Qt::DecorationRole).value<QPixmap>().toImage();
}

} // namespace

TEST(ItemModelSmsTest, FetchesInBatchesAndShowsEachRowLikeTheMessage)
{
    ItemModelSms model;
    model.setSource(std::make_shared<LineMsgsListSource>());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore({}));

    GeneratedMessages generated(1234, 3);
    model.setSource(generated.source());
    EXPECT_EQ(model.total(), 1234);
    EXPECT_EQ(model.rowCount(), 0); // nothing read before the view asks
    EXPECT_TRUE(model.indexForRow(1233).isValid());
    EXPECT_FALSE(model.indexForRow(1234).isValid());
    EXPECT_FALSE(model.indexForRow(-1).isValid());
    QList<int> sizes;
    while (model.canFetchMore({})) {
        const int before = model.rowCount();
        model.fetchMore({});
        sizes << model.rowCount() - before;
    }
    EXPECT_EQ(sizes, (QList<int>{500, 500, 234}));
    EXPECT_EQ(model.data(model.index(1233, 3)).toString(), generated.source()->message(1233).displayText());
    EXPECT_FALSE(model.index(1234, 0).isValid());
    EXPECT_FALSE(model.index(0, 4).isValid());
    EXPECT_EQ(model.index(7, 0).internalId(), 8u);
    EXPECT_EQ(model.index(7, 2).internalId(), 0u);

    // A jump to a far row (a search hit) passes over the batches before it; each is read when asked for,
    // and scrolling on reads the next batch as usual.
    model.setSource(generated.source());
    model.fetchMore({});
    model.fetchUpTo(1100);
    EXPECT_EQ(model.rowCount(), 1234);
    EXPECT_FALSE(model.canFetchMore({}));
    const auto shows = [&](int row) {
        return model.data(model.index(row, 3)).toString() == generated.source()->message(row).displayText() &&
               model.data(model.index(row, 0)).toString() ==
                   QLocale::system().toString(generated.source()->message(row).time, QLocale::ShortFormat);
    };
    EXPECT_TRUE(shows(600));
    model.setSource(generated.source());
    model.fetchUpTo(700);
    ASSERT_EQ(model.rowCount(), 1000);
    EXPECT_TRUE(shows(700));
    EXPECT_TRUE(shows(1));
    EXPECT_TRUE(shows(499));
    model.fetchUpTo(10); // already there
    EXPECT_EQ(model.rowCount(), 1000);
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 1234);
    EXPECT_TRUE(shows(1233));

    ChatFixture fixture;
    QList<_LineMsg> messages = fixture.messages;
    ASSERT_GE(messages.size(), 3);
    messages[0].uid = QStringLiteral("0");
    messages[1].uid.clear();
    _LineMsg orphan; // neither chat nor sender
    orphan.uid = QStringLiteral("77");
    orphan.time = QDateTime(QDate(2023, 3, 5), QTime(9, 0));
    messages << orphan;
    model.setSource(std::make_shared<LineMsgsListSource>(messages));
    model.fetchMore({});
    ASSERT_EQ(model.rowCount(), messages.size());
    EXPECT_FALSE(model.canFetchMore({}));
    bool sawSent = false;
    bool sawReceived = false;
    bool sawUnknown = false;
    for (int row = 0; row < messages.size(); ++row) {
        const _LineMsg& message = messages[row];
        const QString contact = model.data(model.index(row, 2)).toString();
        const QString flag = model.data(model.index(row, 1)).toString();
        EXPECT_EQ(model.data(model.index(row, 3)).toString(), message.displayText());
        const QColor background = model.data(model.index(row, 3), Qt::BackgroundRole).value<QBrush>().color();
        if (message.sender) {
            sawReceived = true;
            EXPECT_EQ(flag, QStringLiteral("From"));
            EXPECT_EQ(contact, message.sender->displayName());
            EXPECT_EQ(background, QColor(255, 255, 255));
        } else {
            EXPECT_EQ(flag, QStringLiteral("To"));
            EXPECT_EQ(background, QColor(245, 255, 226));
            if (message.chat) {
                sawSent = true;
                EXPECT_EQ(contact, message.chat->chatTitle(false));
            } else {
                sawUnknown = true;
                EXPECT_EQ(contact, QStringLiteral("Unknown"));
            }
        }
        const QVariant foreground = model.data(model.index(row, 0), Qt::ForegroundRole);
        if (row < 2)
            EXPECT_EQ(foreground.value<QBrush>().color(), QColor(255, 0, 0)) << row;
        else
            EXPECT_FALSE(foreground.isValid()) << row;
        EXPECT_FALSE(model.data(model.index(row, 0)).toString().isEmpty());
        EXPECT_FALSE(iconOf(model, model.index(row, 0)).isNull());
        EXPECT_FALSE(model.data(model.index(row, 1), Qt::DecorationRole).isValid());
    }
    EXPECT_TRUE(sawSent && sawReceived && sawUnknown);
    EXPECT_NE(iconOf(model, model.index(0, 0)), QImage()); // icons come from the resources
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Content"));
    EXPECT_EQ(model.data(model.index(0, 0), Qt::SizeHintRole).toSize().height(), 23);
}

TEST(ItemModelMainTest, DatabaseNodesListTheirChatsNewestFirstWithTheirKindsIcons)
{
    QTemporaryDir dir;
    ChatFixture fixture;
    {
        LineLocalDb target(dir.filePath(QStringLiteral("Family")));
        LineLocalDbMerger(target).merge(*fixture.source());
    }
    auto db = std::make_shared<LineLocalDb>(dir.filePath(QStringLiteral("Family")));
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);

    ItemModelMain model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("IDS_ROOT_DEVICE"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("IDS_ROOT_LOCALDB"));
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal).isValid());

    _LocalDbItemNode* node = model.addLocalDbNode(QStringLiteral("Family"));
    node->data = data;
    model.loadChats(node);
    const QModelIndex dbIndex = model.indexOf(node);
    ASSERT_EQ(model.rowCount(dbIndex), data->chats().size());
    ASSERT_EQ(model.rowCount(dbIndex), 3);
    QImage single, room, group;
    for (int row = 0; row < model.rowCount(dbIndex); ++row) {
        auto* chatNode = static_cast<_ChatSessionItemNode*>(model.nodeOf(model.index(row, 0, dbIndex)));
        ASSERT_EQ(chatNode->kind, ChatKind);
        EXPECT_EQ(ItemModelMain::databaseNodeOf(chatNode), node);
        EXPECT_EQ(chatNode->text, chatNode->chat->chatTitle(true));
        if (row > 0) {
            auto* previous =
                static_cast<_ChatSessionItemNode*>(model.nodeOf(model.index(row - 1, 0, dbIndex)));
            EXPECT_GE(previous->chat->lastUpdated, chatNode->chat->lastUpdated);
        }
        const QImage icon = iconOf(model, model.index(row, 0, dbIndex));
        EXPECT_EQ(icon.width(), 18);
        (chatNode->chat->type == _LineChat::Single  ? single
         : chatNode->chat->type == _LineChat::Multi ? room
                                                    : group) = icon;
    }
    EXPECT_FALSE(single.isNull() || room.isNull() || group.isNull());
    EXPECT_NE(single, room);
    EXPECT_NE(room, group);
    EXPECT_EQ(model.data(dbIndex, Qt::SizeHintRole).toSize().height(), 25);

    // A device node appears under the devices' root with the device's name; removing it removes its rows.
    auto device = std::make_shared<DeviceInfo>();
    device->name = QStringLiteral("Test iPhone");
    device->udid = QStringLiteral("udid-1");
    _IOSDeviceItemNode* deviceNode =
        model.addDeviceNode(device, QStringLiteral("u1"), QStringLiteral("Owner"), false);
    deviceNode->data = data;
    model.loadChats(deviceNode);
    EXPECT_EQ(model.data(model.indexOf(deviceNode)).toString(), QStringLiteral("Test iPhone"));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    EXPECT_EQ(model.deviceNodes(), QList<_IOSDeviceItemNode*>{deviceNode});
    model.removeNode(deviceNode);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    // Reloading a database: its chats go first, then come back once.
    model.removeChildren(node);
    EXPECT_EQ(model.rowCount(dbIndex), 0);
    model.loadChats(node);
    EXPECT_EQ(model.rowCount(model.indexOf(node)), 3);
    EXPECT_EQ(model.findLocalDbNode(QStringLiteral("Family")), node);
}

TEST(ItemModelLoadBkTest, BackupsStayNewestFirstAndEqualDatesKeepTheirOrder)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QDateTime& date) {
        backupfixture::DeviceIdentity device;
        device.deviceName = name;
        device.date = date;
        const QString folder = dir.filePath(name);
        EXPECT_TRUE(backupfixture::BackupFixtureBuilder().setDevice(device).write(folder));
        // The backup's date is when its Status.plist was last written.
        QFile status(QDir(folder).filePath(QStringLiteral("Status.plist")));
        EXPECT_TRUE(status.open(QIODevice::ReadWrite) &&
                    status.setFileTime(date, QFileDevice::FileModificationTime));
        auto backup = std::make_shared<BackupManifest>(folder);
        backup->loadInfo();
        return backup;
    };
    const QDateTime day(QDate(2024, 5, 1), QTime(10, 0));
    ItemModelLoadBk model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.addBackup(write(QStringLiteral("Old"), day.addDays(-3)));
    model.addBackup(write(QStringLiteral("New"), day.addDays(2)));
    model.addBackup(write(QStringLiteral("Middle"), day));
    model.addBackup(write(QStringLiteral("Middle too"), day));
    EXPECT_EQ(inserted.size(), 4);
    for (const QList<QVariant>& emission : std::as_const(inserted))
        EXPECT_EQ(emission[1].toInt(), emission[2].toInt()); // one row each
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.backupAt(model.index(row, 0))->deviceName();
    EXPECT_EQ(names, (QStringList{QStringLiteral("New"), QStringLiteral("Middle"),
                                  QStringLiteral("Middle too"), QStringLiteral("Old")}));
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Backup Date"));
    EXPECT_EQ(model.data(model.index(0, 2)).toString(),
              QDir::toNativeSeparators(dir.filePath(QStringLiteral("New"))));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), model.backupAt(model.index(0, 0))->displayName());
    EXPECT_EQ(model.data(model.index(0, 0), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 255, 255));
    EXPECT_EQ(model.data(model.index(1, 1), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(250, 250, 250));
    EXPECT_FALSE(iconOf(model, model.index(0, 0)).isNull());
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::DecorationRole).isValid());
}
