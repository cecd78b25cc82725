#include "LineFixtureBuilder.h"
#include "LineFixtureSpecial.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineGroup.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineUser.h"
#include "line/MessageType.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace Special = LineFixtureSpecial;

// One fixture store for the whole suite; every test reads it through a fresh cache copy.
class IOSLineDbReaderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        LineFixtureOptions options;
        options.messages = 400;
        options.disabledChats = 2;
        s_fixture =
            new LineFixture(LineFixtureBuilder::build(s_dir->filePath(QStringLiteral("app")), options));
    }
    static void TearDownTestSuite()
    {
        delete s_fixture;
        delete s_dir;
    }

    void SetUp() override
    {
        m_db = IOSLineStoreCache::openCopy(s_fixture->appRoot);
        m_data = std::make_shared<_LineData>(m_db);
        m_db->loadContacts(m_data);
        LineMsgsDataSource all(m_data, nullptr, true);
        for (qint64 i = 0; i < all.count(); ++i) {
            const _LineMsg message = all.message(i);
            m_messages.insert(message.uid, message);
        }
    }

    const _LineMsg& special(const QString& name) const
    {
        static const _LineMsg none;
        const auto it = m_messages.constFind(s_fixture->special.value(name));
        EXPECT_NE(it, m_messages.cend()) << name.toStdString();
        return it == m_messages.cend() ? none : it.value();
    }

    _LineChat* chat(const QString& uid) const
    {
        for (_LineChat* candidate : m_data->chats()) {
            if (candidate->uid == uid)
                return candidate;
        }
        return nullptr;
    }

    static QSet<QString> uidsOf(const LineUserSet& users)
    {
        QSet<QString> uids;
        for (const _LineUser* user : users)
            uids.insert(user->uid);
        return uids;
    }

    static QTemporaryDir* s_dir;
    static LineFixture* s_fixture;
    std::shared_ptr<IOSLineDb> m_db;
    std::shared_ptr<_LineData> m_data;
    QHash<QString, _LineMsg> m_messages;
};

QTemporaryDir* IOSLineDbReaderTest::s_dir = nullptr;
LineFixture* IOSLineDbReaderTest::s_fixture = nullptr;

TEST_F(IOSLineDbReaderTest, FindsTheAccountAndTheStores)
{
    EXPECT_EQ(m_db->account().uid, s_fixture->ownerMid);
    EXPECT_EQ(m_db->account().name, s_fixture->ownerName);
    EXPECT_EQ(m_db->account().tel, s_fixture->ownerTel);
    EXPECT_EQ(m_db->accountPrefix(), s_fixture->accountPrefix);
    EXPECT_EQ(m_db->storeRelativePath(), s_fixture->storeRelativePath);
    EXPECT_EQ(m_db->groupStoreRelativePath(), s_fixture->groupStoreRelativePath);
    EXPECT_TRUE(m_db->hasGroupStore());
    EXPECT_TRUE(m_db->storePath().startsWith(IOSLineStoreCache::folderFor(s_fixture->appRoot)));
}

TEST_F(IOSLineDbReaderTest, ListsEnabledChatsWithTheirMembersAndGroups)
{
    int enabled = 0;
    for (const LineFixtureChat& expected : s_fixture->chats) {
        SCOPED_TRACE(expected.mid.toStdString());
        _LineChat* loaded = chat(expected.mid);
        if (!expected.enabled) {
            EXPECT_EQ(loaded, nullptr);
            continue;
        }
        ++enabled;
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->type, expected.type);
        QSet<QString> members(expected.memberMids.cbegin(), expected.memberMids.cend());
        for (const QString& mid : expected.groupMemberMids)
            members.insert(mid);
        if (expected.type != _LineChat::Single)
            members.insert(s_fixture->ownerMid);
        EXPECT_EQ(uidsOf(loaded->members), members);
        if (expected.type == _LineChat::Group) {
            ASSERT_NE(loaded->group, nullptr);
            EXPECT_EQ(loaded->group->uid, expected.groupId);
            EXPECT_EQ(loaded->group->name, expected.groupName);
            EXPECT_EQ(loaded->chatTitle(false), QStringLiteral("[GROUP] ") + expected.groupName);
            ASSERT_NE(loaded->group->creator, nullptr);
            EXPECT_TRUE(members.contains(loaded->group->creator->uid));
        }
        EXPECT_EQ(m_db->countMessages(loaded), expected.visibleMessages);
        EXPECT_TRUE(loaded->lastUpdated.isValid());
    }
    EXPECT_EQ(m_data->chats().size(), enabled);
    EXPECT_EQ(m_db->countMessages(nullptr), s_fixture->visibleMessages);
    EXPECT_EQ(m_messages.size(), s_fixture->visibleMessages);
}

TEST_F(IOSLineDbReaderTest, TheOwnerMissingFromTheUsersIsStillAMemberUnderTheirName)
{
    const _LineUser* owner = m_data->user(-999);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->uid, s_fixture->ownerMid);
    EXPECT_EQ(owner->displayName(), s_fixture->ownerName);
}

TEST_F(IOSLineDbReaderTest, OpeningRemovesHiddenChatsFromTheCopyOnly)
{
    Sqlite3DB copy;
    copy.openFile(m_db->storePath(), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(copy.queryInt64("select count(*) from ZCHAT where ZENABLE=0"), 0);
    EXPECT_EQ(copy.queryInt64(Sqlite3Sql("select count(*) from ZMESSAGE where ZID=?")
                                  .addTextParam(s_fixture->special.value(Special::DisabledChatMessage))),
              0);
    EXPECT_EQ(
        copy.queryInt64("select count(*) from ZCHATMETADATA where ZCHAT not in (select Z_PK from ZCHAT)"), 0);
    EXPECT_EQ(
        copy.queryInt64("select count(*) from Z_1MEMBERS where Z_1CHATS not in (select Z_PK from ZCHAT)"), 0);
    Sqlite3DB original;
    original.openFile(s_fixture->storePath(), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(original.queryInt64("select count(*) from ZCHAT where ZENABLE=0"), 2);
}

TEST_F(IOSLineDbReaderTest, TextRowsDecodeEmojiAndKeepTheirBytes)
{
    EXPECT_EQ(special(Special::TextEmoji).text, QStringLiteral("Hello [EMOJI] world"));
    EXPECT_EQ(special(Special::TextEmoji).displayText(), QStringLiteral("Hello [EMOJI] world"));
    EXPECT_TRUE(special(Special::TextDamagedEmoji).content.contains("\xEF\xBF\xBD"));
    EXPECT_EQ(special(Special::TextLoneEmoji).text, QStringLiteral("lone [EMOJI] point"));
    EXPECT_EQ(special(Special::Text107).type, MessageType::Text);
    EXPECT_EQ(special(Special::Text107).text, QStringLiteral("typed as 107"));
}

TEST_F(IOSLineDbReaderTest, PhotosAndVideosFindTheirFilesAndThumbnails)
{
    const QString attachments =
        QDir(s_fixture->appRoot).filePath(s_fixture->accountPrefix + QStringLiteral("Message Attachments/"));
    const QString cacheThumbs =
        QDir(IOSLineStoreCache::folderFor(s_fixture->appRoot)).filePath(QStringLiteral("tmp/thumbnails/"));

    const _LineMsg& photo112 = special(Special::Photo112);
    EXPECT_EQ(photo112.type, MessageType::Photo);
    EXPECT_EQ(photo112.width(), 320);
    EXPECT_EQ(photo112.height(), 240);

    const _LineMsg& full = special(Special::PhotoFull);
    EXPECT_EQ(full.filePath,
              attachments + full.chat->uid + QLatin1Char('/') + full.uid + QStringLiteral(".jpg"));
    EXPECT_TRUE(QFileInfo(full.filePath).isFile());
    EXPECT_EQ(full.thumbPath,
              QDir(s_fixture->appRoot)
                  .filePath(s_fixture->accountPrefix + QStringLiteral("Message Thumbnails/") +
                            full.chat->uid + QLatin1Char('/') + full.uid + QStringLiteral(".thumb")));

    const _LineMsg& blobOnly = special(Special::PhotoBlobOnly);
    EXPECT_EQ(blobOnly.thumbPath, cacheThumbs + blobOnly.chat->uid + QLatin1Char('/') + blobOnly.uid +
                                      QStringLiteral(".thumb.jpg"));
    EXPECT_FALSE(QImage(blobOnly.thumbPath).isNull());
    EXPECT_FALSE(QFileInfo(blobOnly.filePath).exists());

    // No thumbnail at all: one is scaled from the photo, 400 pixels on the longer side.
    const QImage scaled(special(Special::PhotoFileOnly).thumbPath);
    EXPECT_EQ(scaled.size(), QSize(400, 300));
    // A thumbnail blob that is no image: made from the (portrait PNG) photo instead.
    const QImage portrait(special(Special::PhotoBrokenThumb).thumbPath);
    EXPECT_EQ(portrait.size(), QSize(240, 400));

    EXPECT_TRUE(special(Special::VideoMp4).filePath.endsWith(QStringLiteral(".mp4")));
    EXPECT_TRUE(special(Special::VideoMov).filePath.endsWith(QStringLiteral(".mov")));
    EXPECT_TRUE(QFileInfo(special(Special::VideoMov).thumbPath).size() > 0);
    EXPECT_EQ(special(Special::VideoMp4).width(), 640);
}

TEST_F(IOSLineDbReaderTest, VoiceStickersContactsFilesAndPlaces)
{
    EXPECT_TRUE(special(Special::VoiceM4a).filePath.endsWith(QStringLiteral(".m4a")));
    EXPECT_TRUE(special(Special::VoiceAac).filePath.endsWith(QStringLiteral(".aac")));
    EXPECT_TRUE(special(Special::VoiceOutgoing).filePath.endsWith(QStringLiteral(".mp4")));
    EXPECT_GT(special(Special::VoiceM4a).size(), 0);
    EXPECT_EQ(special(Special::VoiceM4a).size() % 980, 0);

    EXPECT_EQ(special(Special::StickerMeta).sticker(), (_LineSticker{12, 1, 100}));
    EXPECT_EQ(special(Special::StickerPackage).sticker(), (_LineSticker{120, 2, 3}));
    EXPECT_EQ(special(Special::StickerPackageAgain).sticker(), (_LineSticker{120, 2, 3}));
    EXPECT_EQ(special(Special::StickerNoPackage).sticker(), (_LineSticker{5000, 0, 0}));
    EXPECT_EQ(special(Special::StickerBadMeta).sticker(), (_LineSticker{1990, 446, 1}));
    EXPECT_EQ(special(Special::StickerMeta).displayText(), QStringLiteral("[STICKER-12]"));

    const _LineMsg& contact = special(Special::Contact);
    EXPECT_EQ(contact.contactUid(), QStringLiteral("u0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(contact.displayText(), QStringLiteral("Contact: Taro & <Co> Ltd"));

    const _LineMsg& file = special(Special::File);
    EXPECT_EQ(file.fileName(), QStringLiteral("Résumé がっこう.pdf"));
    EXPECT_TRUE(QFileInfo(file.filePath).isFile()) << file.filePath.toStdString();
    const _LineMsg& odd = special(Special::FileWindowsName);
    EXPECT_TRUE(odd.filePath.endsWith(QStringLiteral("_plan v2.txt")));
    EXPECT_TRUE(QFileInfo(odd.filePath).isFile());

    const _LineLocation place = special(Special::Location).location();
    EXPECT_DOUBLE_EQ(place.latitude, 35.681236);
    EXPECT_DOUBLE_EQ(place.longitude, 139.767125);
    EXPECT_EQ(special(Special::Location).displayText(), QStringLiteral("Tokyo Station Marunouchi"));
}

TEST_F(IOSLineDbReaderTest, StickerPackagesFoundOnceAreNotLookedUpAgain)
{
    // SetUp has read every message once. Reading them all again asks the database only for the one
    // sticker id no package holds (such answers are not kept).
    const int before = m_db->stickerPackageQueries();
    EXPECT_GT(before, 2);
    m_db->loadMessages(nullptr, 1, 100000, true);
    EXPECT_EQ(m_db->stickerPackageQueries() - before, 1);
}

TEST_F(IOSLineDbReaderTest, UnknownSendersAndOddRows)
{
    EXPECT_EQ(special(Special::UnknownSender).sender, nullptr);
    EXPECT_TRUE(special(Special::UnknownSender).isOutgoing());
    for (const QString& hidden :
         {Special::Type106, Special::TypeUnknown, Special::AbsurdTime, Special::DisabledChatMessage})
        EXPECT_FALSE(m_messages.contains(s_fixture->special.value(hidden))) << hidden.toStdString();
    EXPECT_FALSE(m_messages.contains(QString()));
}

TEST_F(IOSLineDbReaderTest, EqualTimesKeepTheirKeyOrderBothWays)
{
    _LineChat* first = chat(s_fixture->chats.first().mid);
    const QString lower = s_fixture->special.value(Special::SameTimeFirst);
    const QString higher = s_fixture->special.value(Special::SameTimeSecond);
    for (bool ascending : {true, false}) {
        LineMsgsDataSource walk(m_data, first, ascending);
        QStringList order;
        for (qint64 i = 0; i < walk.count(); ++i) {
            const QString uid = walk.message(i).uid;
            if (uid == lower || uid == higher)
                order << uid;
        }
        EXPECT_EQ(order, ascending ? (QStringList{lower, higher}) : (QStringList{higher, lower}));
    }
}

TEST_F(IOSLineDbReaderTest, PagingByKeysetGivesWhatOffsetPagingGives)
{
    Sqlite3DB copy;
    copy.openFile(m_db->storePath(), Sqlite3DB::OpenReadOnly);
    for (_LineChat* only : {static_cast<_LineChat*>(nullptr), chat(s_fixture->chats.first().mid)}) {
        for (bool ascending : {true, false}) {
            Sqlite3Sql sql(
                QStringLiteral("select m.ZID from ZMESSAGE as m inner join ZCHAT as c on m.ZCHAT=c.Z_PK") +
                QString::fromLatin1(only ? " and c.ZMID=?" : "") +
                QStringLiteral(
                    " where m.ZTIMESTAMP < 4000000000000 and m.ZID <> '' and m.ZID is not null and "
                    "m.ZCONTENTTYPE in (0, 107, 1, 2, 3, 7, 13, 14, 100, 112) order by m.ZTIMESTAMP %1, "
                    "m.Z_PK %1")
                    .arg(ascending ? "asc" : "desc"));
            if (only)
                sql.addTextParam(only->uid);
            QStringList expected;
            Sqlite3Cursor cursor = copy.query(sql);
            while (cursor.moveNext())
                expected << cursor.getText(QStringLiteral("ZID"));

            QStringList walked;
            for (qint64 page = 1;; ++page) {
                const QList<_LineMsg> messages = m_db->loadMessages(only, page, 9, ascending);
                if (messages.isEmpty())
                    break;
                for (const _LineMsg& message : messages)
                    walked << message.uid;
            }
            EXPECT_EQ(walked, expected);
            for (qint64 page : {4, 2, 2, 3, 1}) {
                QStringList got;
                for (const _LineMsg& message : m_db->loadMessages(only, page, 9, ascending))
                    got << message.uid;
                EXPECT_EQ(got, expected.mid((page - 1) * 9, 9)) << page;
            }
        }
    }
}

} // namespace
