#include "line/IOSLineDb.h"

#include "line/IOSMessageReader.h"
#include "line/IOSMessageRowFilter.h"
#include "line/LineAccountDB.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineError.h"
#include "line/LineGroup.h"
#include "line/LinePreferences.h"
#include "line/LineUser.h"
#include "line/MessageType.h"
#include "plist/PlistDates.h"
#include "storage/Sqlite3Row.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr qint64 kMissingOwnerId = -999;

// Core Data stores dates as seconds since 2001 in a double; NULL is no date.
QDateTime coreDataTime(const Sqlite3Cursor& cursor, const QString& column)
{
    if (cursor.isNull(column))
        return {};
    const double seconds = cursor.getDouble(column);
    if (!(seconds > -1e11 && seconds < 1e11)) // NaN or beyond any calendar the program shows
        return {};
    return QDateTime::fromSecsSinceEpoch(PlistDates::ReferenceUnixSeconds + qint64(seconds));
}

} // namespace

IOSLineDb::IOSLineDb(const QString& rootFolder, const QString& containerPath)
    : m_rootFolder(QDir(rootFolder).absolutePath()), m_containerPath(containerPath)
{
    m_account = LinePreferences::readAccount(m_rootFolder);
    if (m_account.uid.startsWith(QLatin1Char('u')))
        LineAccountDB().saveAccount(m_account);
    m_location = LineStoreLocation::locate(m_rootFolder, m_account.uid);
    useWorkFolder(m_rootFolder);
    // The page columns follow the store's schema: open() fills them in.
    m_messageTable = {.table = QStringLiteral("ZMESSAGE"),
                      .columns = {},
                      .time = QStringLiteral("ZTIMESTAMP"),
                      .rowKey = QStringLiteral("Z_PK"),
                      .chat = QStringLiteral("ZCHAT"),
                      .chatTable = QStringLiteral("ZCHAT"),
                      .chatKey = QStringLiteral("Z_PK"),
                      .chatUid = QStringLiteral("ZMID"),
                      .filter = QStringLiteral(" and") + messageFilter()};
}

IOSLineDb::~IOSLineDb() = default;

int IOSLineDb::stickerPackageQueries() const
{
    return m_reader ? m_reader->stickerQueries() : 0;
}

QByteArray IOSLineDb::messageThumbnail(qint64 messagePk)
{
    Sqlite3Cursor cursor =
        query(Sqlite3Sql("select ZTHUMBNAIL from ZMESSAGE where Z_PK=?").addInt64Param(messagePk));
    return cursor.moveNext() ? cursor.getBlob(QStringLiteral("ZTHUMBNAIL")) : QByteArray();
}

std::optional<_LineSticker> IOSLineDb::findStickerPackage(int stickerId)
{
    Sqlite3Cursor cursor =
        query(QStringLiteral(
                  "select * from ZSTICKERPACKAGE where %1 between ZSTICKERIDSTART and ZSTICKERIDEND limit 1")
                  .arg(stickerId));
    if (!cursor.moveNext())
        return std::nullopt;
    return _LineSticker{stickerId, cursor.getInt(QStringLiteral("ZPACKAGEID")),
                        cursor.getInt(QStringLiteral("ZVERSION"))};
}

void IOSLineDb::useWorkFolder(const QString& workFolder)
{
    const QDir work(workFolder);
    m_storePath = work.filePath(m_location.storeRelativePath);
    m_groupStorePath = m_location.groupStoreRelativePath.isEmpty()
                           ? QString()
                           : work.filePath(m_location.groupStoreRelativePath);
    m_thumbnailFolder = work.filePath(QStringLiteral("tmp/thumbnails"));
}

void IOSLineDb::open()
{
    if (isOpen())
        return;
    const QFileInfo store(m_storePath);
    if (!store.isFile() || store.size() == 0)
        throwLineError(tr("Found no LINE messages in %1.").arg(QDir::toNativeSeparators(m_rootFolder)));
    Sqlite3DB::openFile(m_storePath, m_oneThread ? OpenReadWrite | OpenOneThread : OpenReadWrite);
    try {
        openStores();
    } catch (...) {
        // A half-prepared store must not pass for an open one on the next call.
        m_groupDb.close();
        close();
        m_schema.clear();
        m_entities.clear();
        throw;
    }
    m_reader = std::make_unique<IOSMessageReader>(
        *this, m_rootFolder, m_location.accountPrefix, m_thumbnailFolder,
        m_schema.hasTable(QStringLiteral("ZSTICKERPACKAGE")),
        m_schema.hasColumn(QStringLiteral("ZMESSAGE"), QStringLiteral("ZTHUMBNAIL")));
    // The columns a page reads, as far as the store has them (the thumbnail blob is read only when needed).
    QStringList selected;
    for (const QString& column : IOSMessageReader::pageColumns()) {
        if (m_schema.hasColumn(QStringLiteral("ZMESSAGE"), column))
            selected << QStringLiteral("m.") + column;
    }
    m_messageTable.columns = selected.join(QLatin1Char(','));
    forgetPaging();
    m_userMidIndex = false;
    m_chatMidIndex = false;
    forgetLookups();
}

void IOSLineDb::openStores()
{
    if (!m_groupStorePath.isEmpty())
        m_groupDb.openStore(m_groupStorePath);
    m_schema.read(*this);
    checkReadable();
    createIndexes();
    m_entities.read(*this);
    buildJoinNames();
    if (!m_keepHiddenChats)
        removeDisabledChats();
}

void IOSLineDb::checkReadable()
{
    const QList<QPair<const char*, const char*>> needed = {
        {"ZMESSAGE", "Z_PK"},  {"ZMESSAGE", "ZID"}, {"ZMESSAGE", "ZTIMESTAMP"}, {"ZMESSAGE", "ZCONTENTTYPE"},
        {"ZMESSAGE", "ZCHAT"}, {"ZCHAT", "Z_PK"},   {"ZCHAT", "ZMID"},          {"ZUSER", "Z_PK"},
        {"ZUSER", "ZMID"},
    };
    for (const auto& [table, column] : needed) {
        if (!m_schema.hasColumn(QLatin1String(table), QLatin1String(column)))
            throwLineError(
                tr("%1 is not a LINE message database this program can read: it has no %2.")
                    .arg(QFileInfo(m_storePath).fileName(),
                         QStringLiteral("%1.%2").arg(QLatin1String(table), QLatin1String(column))));
    }
}

void IOSLineDb::createIndexes()
{
    // The time index serves the walk over all chats, the (chat, time) index the walk over one chat and the
    // last message of each chat. Both are dropped again by finish().
    if (!m_readingIndexes)
        return;
    bool created = false;
    if (!m_schema.hasObject(QStringLiteral("_vr_idx_Message_timestamp"))) {
        execute("CREATE INDEX _vr_idx_Message_timestamp ON ZMESSAGE(ZTIMESTAMP)");
        created = true;
    }
    if (!m_schema.hasObject(QStringLiteral("_vr_idx_Message_chat_timestamp"))) {
        execute("CREATE INDEX _vr_idx_Message_chat_timestamp ON ZMESSAGE(ZCHAT, ZTIMESTAMP)");
        created = true;
    }
    if (created)
        m_schema.read(*this);
}

void IOSLineDb::buildJoinNames()
{
    const int chat = m_entities.number(QStringLiteral("Chat"), QStringLiteral("ZCHAT"), 1);
    const int group = m_entities.number(QStringLiteral("Group"), QStringLiteral("ZGROUP"), 4);
    const int user = m_entities.number(QStringLiteral("User"), QStringLiteral("ZUSER"), 12);
    m_joins.chatMembersTable = QStringLiteral("Z_%1MEMBERS").arg(chat);
    m_joins.chatColumn = QStringLiteral("Z_%1CHATS").arg(chat);
    m_joins.chatUserColumn = QStringLiteral("Z_%1MEMBERS").arg(user);
    m_joins.groupMembersTable = QStringLiteral("Z_%1MEMBERS").arg(group);
    m_joins.groupColumn = QStringLiteral("Z_%1GROUPS").arg(group);
    m_joins.groupUserColumn = QStringLiteral("Z_%1MEMBERS1").arg(user);
}

void IOSLineDb::removeDisabledChats()
{
    if (!m_schema.hasColumn(QStringLiteral("ZCHAT"), QStringLiteral("ZENABLE")))
        return; // a store without the column keeps all chats
    Sqlite3Transaction transaction(*this);
    execute("delete from zmessage where zchat in (select z_pk from zchat where zenable=0)");
    if (m_schema.hasColumn(m_joins.chatMembersTable, m_joins.chatColumn))
        execute(QStringLiteral("delete from %1 where %2 in (select z_pk from zchat where zenable=0)")
                    .arg(m_joins.chatMembersTable, m_joins.chatColumn));
    if (m_schema.hasColumn(QStringLiteral("ZCHATMETADATA"), QStringLiteral("ZCHAT")))
        execute("delete from ZCHATMETADATA where ZCHAT in (select z_pk from zchat where zenable=0)");
    execute("delete from zchat where zenable=0");
    transaction.commit();
}

bool IOSLineDb::isOwner(const QString& mid) const
{
    return !m_account.uid.isEmpty() && mid.compare(m_account.uid, Qt::CaseInsensitive) == 0;
}

void IOSLineDb::fillContacts(_LineData& data)
{
    open();
    _LineUser* owner = nullptr;
    QHash<QString, _LineUser*> usersByMid;
    Sqlite3Cursor users = query("select * from ZUSER");
    while (users.moveNext()) {
        const qint64 id = users.getInt64(QStringLiteral("Z_PK"));
        if (data.user(id))
            continue;
        auto created = std::make_unique<_LineUser>();
        created->id = id;
        created->uid = users.getText(QStringLiteral("ZMID"));
        created->addressBookName = users.getText(QStringLiteral("ZADDRESSBOOKNAME"));
        created->name = users.getText(QStringLiteral("ZNAME"));
        created->customName = users.getText(QStringLiteral("ZCUSTOMNAME"));
        created->createdTime = coreDataTime(users, QStringLiteral("ZCREATEDTIME"));
        created->pictureUrl = users.getText(QStringLiteral("ZPICTUREURL"));
        _LineUser* user = data.insertUser(std::move(created));
        usersByMid.insert(user->uid, user);
        if (!owner && isOwner(user->uid))
            owner = user;
    }
    if (!owner && !m_account.uid.isEmpty()) {
        auto created = std::make_unique<_LineUser>();
        created->id = kMissingOwnerId;
        created->uid = m_account.uid;
        created->addressBookName = m_account.name;
        created->name = m_account.name.isEmpty() ? QStringLiteral("Keep") : m_account.name;
        owner = data.insertUser(std::move(created));
    }

    const bool hasEnable = m_schema.hasColumn(QStringLiteral("ZCHAT"), QStringLiteral("ZENABLE"));
    QHash<QString, _LineChat*> chatsByMid;
    Sqlite3Cursor chats =
        query("select c.*, u.Z_PK as rel_userid from ZCHAT as c left join ZUSER as u on c.ZMID=u.ZMID");
    while (chats.moveNext()) {
        const qint64 id = chats.getInt64(QStringLiteral("Z_PK"));
        if ((hasEnable && chats.getInt(QStringLiteral("ZENABLE"), 1) == 0) || data.chat(id))
            continue;
        auto created = std::make_unique<_LineChat>();
        created->id = id;
        created->uid = chats.getText(QStringLiteral("ZMID"));
        const int type = chats.getInt(QStringLiteral("ZTYPE"));
        created->type = type == 1 ? _LineChat::Multi : (type == 2 ? _LineChat::Group : _LineChat::Single);
        created->lastUpdated = coreDataTime(chats, QStringLiteral("ZLASTUPDATED"));
        _LineChat* chat = data.insertChat(std::move(created));
        chatsByMid.insert(chat->uid, chat);
        if (chat->type != _LineChat::Single) {
            if (owner)
                chat->members.insert(owner);
        } else if (!chats.isNull(QStringLiteral("rel_userid"))) {
            chat->members.insert(data.user(chats.getInt64(QStringLiteral("rel_userid"))));
        }
    }

    if (m_schema.hasColumn(m_joins.chatMembersTable, m_joins.chatColumn) &&
        m_schema.hasColumn(m_joins.chatMembersTable, m_joins.chatUserColumn)) {
        Sqlite3Cursor members = query(QStringLiteral("select * from %1").arg(m_joins.chatMembersTable));
        while (members.moveNext()) {
            _LineChat* chat = data.chat(members.getInt64(m_joins.chatColumn));
            _LineUser* user = data.user(members.getInt64(m_joins.chatUserColumn));
            if (chat && user && !isOwner(user->uid))
                chat->members.insert(user);
        }
    }

    if (m_groupDb.isOpen())
        fillGroupsFromGroupStore(data, owner, chatsByMid, usersByMid);
    else
        fillGroupsFromGroupTable(data, owner);

    // Rows with absurd times are never listed, so they do not make a chat look recent either.
    Sqlite3Cursor lastTimes = query("select ZCHAT, max(ZTIMESTAMP) as last_ts from ZMESSAGE "
                                    "where ZTIMESTAMP < 4000000000000 group by ZCHAT");
    while (lastTimes.moveNext()) {
        if (_LineChat* chat = data.chat(lastTimes.getInt64(QStringLiteral("ZCHAT"))))
            chat->lastUpdated = QDateTime::fromMSecsSinceEpoch(lastTimes.getInt64(QStringLiteral("last_ts")));
    }

    for (_LineChat* chat : data.chats()) {
        if (!chat->group)
            continue;
        for (_LineUser* member : chat->group->members)
            chat->members.insert(member);
    }
}

void IOSLineDb::fillGroupsFromGroupStore(_LineData& data, _LineUser* owner,
                                         const QHash<QString, _LineChat*>& chatsByMid,
                                         const QHash<QString, _LineUser*>& usersByMid)
{
    if (!m_groupDb.hasGroups())
        return;
    Sqlite3Cursor groups = m_groupDb.queryGroups();
    while (groups.moveNext()) {
        const qint64 id = groups.getInt64(QStringLiteral("Z_PK"));
        const QString uid = groups.getText(QStringLiteral("ZID"));
        _LineGroup* group = data.group(id);
        if (!group) {
            auto created = std::make_unique<_LineGroup>();
            created->id = id;
            created->uid = uid;
            created->name = groups.getText(QStringLiteral("ZNAME"));
            created->createdTime = coreDataTime(groups, QStringLiteral("ZCREATEDTIME"));
            created->pictureStatus = groups.getText(QStringLiteral("ZPICTURESTATUS"));
            if (!groups.isNull(QStringLiteral("ZCREATOR")))
                created->creator = data.user(groups.getInt64(QStringLiteral("ZCREATOR")));
            group = data.insertGroup(std::move(created));
        }
        if (_LineChat* chat = chatsByMid.value(uid)) {
            chat->group = group;
            if (owner)
                group->members.insert(owner);
        }
    }
    if (!m_groupDb.hasMembers())
        return;
    Sqlite3Cursor members = m_groupDb.queryMembers();
    while (members.moveNext()) {
        _LineUser* user = usersByMid.value(members.getText(QStringLiteral("user_uid")));
        _LineGroup* group = data.group(members.getInt64(QStringLiteral("group_id")));
        if (user && group && !isOwner(user->uid))
            group->members.insert(user);
    }
}

void IOSLineDb::fillGroupsFromGroupTable(_LineData& data, _LineUser* owner)
{
    if (!m_schema.hasColumn(QStringLiteral("ZGROUP"), QStringLiteral("ZID")))
        return;
    Sqlite3Cursor groups =
        query("select g.*, c.Z_PK as chat_id from ZGROUP as g left join ZCHAT as c on g.ZID=c.ZMID");
    while (groups.moveNext()) {
        const qint64 id = groups.getInt64(QStringLiteral("Z_PK"));
        _LineGroup* group = data.group(id);
        if (!group) {
            auto created = std::make_unique<_LineGroup>();
            created->id = id;
            created->uid = groups.getText(QStringLiteral("ZID"));
            created->name = groups.getText(QStringLiteral("ZNAME"));
            created->createdTime = coreDataTime(groups, QStringLiteral("ZCREATEDTIME"));
            created->pictureStatus = groups.getText(QStringLiteral("ZPICTURESTATUS"));
            if (!groups.isNull(QStringLiteral("ZCREATOR")))
                created->creator = data.user(groups.getInt64(QStringLiteral("ZCREATOR")));
            group = data.insertGroup(std::move(created));
        }
        if (groups.isNull(QStringLiteral("chat_id")))
            continue;
        if (_LineChat* chat = data.chat(groups.getInt64(QStringLiteral("chat_id")))) {
            chat->group = group;
            if (owner)
                group->members.insert(owner);
        }
    }
    if (!m_schema.hasColumn(m_joins.groupMembersTable, m_joins.groupColumn) ||
        !m_schema.hasColumn(m_joins.groupMembersTable, m_joins.groupUserColumn))
        return;
    Sqlite3Cursor members = query(QStringLiteral("select * from %1").arg(m_joins.groupMembersTable));
    while (members.moveNext()) {
        _LineGroup* group = data.group(members.getInt64(m_joins.groupColumn));
        _LineUser* user = data.user(members.getInt64(m_joins.groupUserColumn));
        if (group && user && !isOwner(user->uid))
            group->members.insert(user);
    }
}

QString IOSLineDb::messageFilter() const
{
    return IOSMessageRowFilter::sql();
}

qint64 IOSLineDb::countMessages(const _LineChat* chat)
{
    open();
    if (!chat) {
        // Counting every message reads the whole table anyway; the "+" keeps SQLite from going along the
        // time index, which would add a look-up in the table for every row.
        QString filter = messageFilter();
        filter.replace(QStringLiteral(" m.ZTIMESTAMP <"), QStringLiteral(" +m.ZTIMESTAMP <"));
        return queryInt64(
            QStringLiteral("select count(*) from ZMESSAGE as m inner join ZCHAT as c on m.ZCHAT=c.Z_PK and") +
                filter,
            0);
    }
    const QList<qint64> pks = chatKeysOf(chat->uid);
    if (pks.isEmpty())
        return 0;
    Sqlite3Sql sql;
    sql.appendSql(QStringLiteral("select count(*) from ZMESSAGE as m where ") +
                  chatKeyCondition(QStringLiteral("m.ZCHAT"), pks, sql) + QStringLiteral(" and") +
                  messageFilter());
    return queryInt64(sql, 0);
}

AbsLineDb::MessageReader IOSLineDb::messageReader(const Sqlite3Cursor& cursor, const _LineData* data) const
{
    return [reader = m_reader.get(), columns = IOSMessageReader::Columns::of(cursor),
            data](const Sqlite3Cursor& row) { return reader->read(row, columns, data); };
}

AbsLineDb::MessageReader IOSLineDb::textReader(const Sqlite3Cursor& cursor, const _LineData* data) const
{
    return [reader = m_reader.get(), columns = IOSMessageReader::Columns::of(cursor),
            data](const Sqlite3Cursor& row) { return reader->read(row, columns, data, false); };
}
