// The writing half of IOSLineDb: look-ups, inserts, member links and the final bookkeeping that merge
// messages into LINE's store. Kept apart from the reading half only for the length of the files.
#include "line/IOSLineDb.h"

#include "line/EmojiText.h"
#include "line/IOSContentMetadata.h"
#include "line/IOSMessageRowFilter.h"
#include "line/LineChat.h"
#include "line/LineError.h"
#include "line/LineGroup.h"
#include "line/LineUser.h"
#include "line/MessageType.h"
#include "plist/PlistDates.h"

#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>

namespace {

// The most message keys reserved up front, and the most chat keys counted in an array by a merge's pass.
constexpr qint64 kMaxReservedKeys = 16 * 1024 * 1024;
constexpr qint64 kMaxChatArray = 1024 * 1024;

// A thumbnail is a small picture; a larger file at the thumbnail path is not embedded into the store.
constexpr qint64 kMaxThumbnailBytes = 16 * 1024 * 1024;

QByteArray thumbnailBytes(const QString& path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxThumbnailBytes)
        return {};
    return file.readAll();
}

QVariant textBytes(const QByteArray& bytes)
{
    return QVariant::fromValue(Sqlite3Row::TypeTextBytes{bytes});
}

// The chat list's line for the newest message of a chat, as LINE writes it.
QString summaryText(int contentType, bool incoming, const QString& sender, const QByteArray& text)
{
    auto pick = [&](const char* outgoing, const char* received) {
        return incoming ? QString::fromLatin1(received).arg(sender) : QString::fromLatin1(outgoing);
    };
    switch (contentType) {
    case 1:
        return pick("You sent a photo.", "%1 sent you a photo.");
    case 2:
        return pick("You sent a video.", "%1 sent you a video.");
    case 3:
        return pick("You sent a voice message.", "%1 sent you a voice message.");
    case 7:
        return pick("You sent a sticker.", "%1 sent you a sticker.");
    case 13:
        return pick("Contact info sent.", "%1 sent you a friend's contact info.");
    case 100:
        return pick("You sent a location.", "%1 sent you a location.");
    default:
        return EmojiText::decodeEmojiText(text);
    }
}

} // namespace

void IOSLineDb::checkWritable()
{
    open();
    forgetLookups();
    QStringList missing;
    const QList<QPair<const char*, QList<const char*>>> needed = {
        {"ZCHAT", {"Z_PK", "Z_ENT", "Z_OPT", "ZMID"}},
        {"ZUSER", {"Z_PK", "Z_ENT", "Z_OPT", "ZMID", "ZNAME", "ZADDRESSBOOKNAME"}},
        {"ZMESSAGE",
         {"Z_PK", "Z_ENT", "Z_OPT", "ZID", "ZCHAT", "ZSENDER", "ZTIMESTAMP", "ZCONTENTTYPE", "ZTEXT",
          "ZSENDSTATUS"}},
        {"Z_PRIMARYKEY", {"Z_NAME", "Z_MAX"}},
    };
    for (const auto& [table, columns] : needed) {
        for (const char* column : columns) {
            if (!m_schema.hasColumn(QLatin1String(table), QLatin1String(column)))
                missing << QStringLiteral("%1.%2").arg(QLatin1String(table), QLatin1String(column));
        }
    }
    if (!m_schema.hasColumn(m_joins.chatMembersTable, m_joins.chatColumn) ||
        !m_schema.hasColumn(m_joins.chatMembersTable, m_joins.chatUserColumn))
        missing << m_joins.chatMembersTable;
    // Core Data hands out new keys above Z_MAX: without the entities' rows finish() could not keep the
    // counters and the app would later reuse the keys of the rows written here.
    for (const auto& [entity, table] :
         {std::pair{"Chat", "ZCHAT"}, {"Message", "ZMESSAGE"}, {"User", "ZUSER"}}) {
        if (!m_entities.find(QLatin1String(entity), QLatin1String(table)))
            missing << QStringLiteral("Z_PRIMARYKEY '%1'").arg(QLatin1String(entity));
    }
    if (!missing.isEmpty())
        throwLineError(tr("Messages cannot be written into %1: it lacks %2.")
                           .arg(QFileInfo(m_storePath).fileName(), missing.join(QStringLiteral(", "))));
}

void IOSLineDb::removeNoticeMessages()
{
    scanMessages(true);
    forgetPaging();
}

void IOSLineDb::keepNewest(NewestMessages& newest, qint64 chatPk, double time, qint64 messagePk)
{
    NewestMessage& kept = newest[chatPk];
    if (kept.pk == 0 || time > kept.time || (time == kept.time && messagePk > kept.pk))
        kept = {time, messagePk};
}

void IOSLineDb::scanMessages(bool removeNotices)
{
    forgetLookups();
    // The highest key is read from the end of the table and is about the number of rows: growing the
    // list a million times would cost more (an unused reserve of a sparse table is never touched).
    const qint64 highest = queryInt64("select max(Z_PK) from ZMESSAGE", 0);
    if (highest > 0 && highest <= kMaxReservedKeys)
        m_messageKeys.reserve(size_t(highest));
    // Chats by key in a plain array (Core Data numbers them from 1); a key beyond it goes to the hash.
    std::vector<NewestMessage> newestByChat(
        size_t(std::clamp<qint64>(queryInt64("select max(Z_PK) from ZCHAT", 0) + 1, 1, kMaxChatArray)));
    // A large store is read once for what a merge needs: reading it is what takes the time, so the
    // filter is worked out here rather than in SQL, which is asked only about unusual values.
    Sqlite3Cursor rows =
        query("select m.Z_PK, m.ZCHAT, m.ZID, m.ZCONTENTTYPE, m.ZTIMESTAMP from ZMESSAGE as m");
    const QString unusualRowSql = IOSMessageRowFilter::sqlForRow();
    QList<qint64> notices;
    using Type = Sqlite3Cursor::Type;
    while (rows.moveNext()) {
        // Each value read once: the calls into SQLite are much of the cost of a row.
        const qint64 pk = rows.int64At(0);
        const IOSMessageRowFilter::Row row = IOSMessageRowFilter::read(rows, 1, 2, 3, 4);
        std::optional<IOSMessageRowFilter::Flags> flags = IOSMessageRowFilter::decide(row);
        if (!flags) {
            Sqlite3Cursor unusual = query(Sqlite3Sql(unusualRowSql).addInt64Param(pk));
            flags = IOSMessageRowFilter::Flags{unusual.moveNext() && unusual.int64At(0) != 0,
                                               unusual.int64At(1) != 0};
        }
        if (removeNotices && flags->notice) {
            notices << pk;
            continue;
        }
        m_scannedMaxPk = std::max(m_scannedMaxPk, pk);
        const qint64 chat = row.chat != Type::Null ? rows.int64At(1) : 0;
        if (row.id != Type::Null)
            m_messageKeys.add(messageKey(chat, row.idText), pk);
        if (!flags->listed)
            continue;
        const double time = row.timestamp == Type::Integer ? double(row.timestampValue) : rows.doubleAt(4);
        if (chat > 0 && chat < qint64(newestByChat.size())) {
            NewestMessage& kept = newestByChat[size_t(chat)];
            if (kept.pk == 0 || time > kept.time || (time == kept.time && pk > kept.pk))
                kept = {time, pk};
        } else {
            keepNewest(m_newest, chat, time, pk);
        }
    }
    rows = {};
    for (size_t chat = 1; chat < newestByChat.size(); ++chat) {
        if (newestByChat[chat].pk != 0)
            m_newest.insert(qint64(chat), newestByChat[chat]);
    }
    for (const qint64 pk : std::as_const(notices))
        execute(Sqlite3Sql("delete from ZMESSAGE where Z_PK=?").addInt64Param(pk));
    m_messageKeys.build();
    m_messageKeysLoaded = true;
}

void IOSLineDb::keepPresentColumns(const QString& table, Sqlite3Row& row) const
{
    // Every message written asks about the same columns: the answers are remembered.
    QHash<QString, bool>& known = m_presentColumns[table];
    QStringList absent;
    for (const QString& column : row.columns()) {
        auto found = known.constFind(column);
        if (found == known.cend())
            found = known.insert(column, m_schema.hasColumn(table, column));
        if (!found.value())
            absent << column;
    }
    for (const QString& column : std::as_const(absent))
        row.remove(column);
}

IOSLineDb::ChatRow IOSLineDb::findChat(const QString& uid)
{
    // LINE does not index chat ids either; a merge looks up every chat of its source.
    if (!m_chatMidIndex) {
        execute("CREATE INDEX IF NOT EXISTS _vr_idx_Chat_mid ON ZCHAT(ZMID)");
        m_chatMidIndex = true;
    }
    const bool hasEnable = m_schema.hasColumn(QStringLiteral("ZCHAT"), QStringLiteral("ZENABLE"));
    Sqlite3Cursor cursor = query(Sqlite3Sql(hasEnable ? "select Z_PK,ZENABLE from ZCHAT where ZMID=?"
                                                      : "select Z_PK from ZCHAT where ZMID=?")
                                     .addTextParam(uid));
    if (!cursor.moveNext())
        return {};
    return {cursor.getInt64(QStringLiteral("Z_PK")), cursor.getInt(QStringLiteral("ZENABLE"), 1) != 0};
}

void IOSLineDb::enableChat(qint64 chatPk)
{
    execute(QStringLiteral("update ZCHAT set ZENABLE=1 where Z_PK=%1").arg(chatPk));
    forgetPaging();
}

qint64 IOSLineDb::findGroup(const QString& uid)
{
    if (!m_schema.hasColumn(QStringLiteral("ZGROUP"), QStringLiteral("ZID")))
        return 0;
    return queryInt64(Sqlite3Sql("select Z_PK from ZGROUP where ZID=?").addTextParam(uid), 0);
}

qint64 IOSLineDb::findUser(const QString& mid)
{
    // A merge looks up the sender of every message and the members of every new chat: the users found
    // are remembered, and LINE does not index user ids.
    const auto known = m_userPks.constFind(mid);
    if (known != m_userPks.cend())
        return known.value();
    if (!m_userMidIndex) {
        execute("CREATE INDEX IF NOT EXISTS _vr_idx_User_mid ON ZUSER(ZMID)");
        m_userMidIndex = true;
    }
    const qint64 pk = queryInt64(Sqlite3Sql("select Z_PK from ZUSER where ZMID=?").addTextParam(mid), 0);
    if (pk != 0)
        m_userPks.insert(mid, pk);
    return pk;
}

void IOSLineDb::forgetLookups()
{
    m_messageKeys.clear();
    m_insertedKeys.clear();
    m_messageKeysLoaded = false;
    m_newest.clear();
    m_scannedMaxPk = 0;
    m_userPks.clear();
    m_presentColumns.clear();
}

quint64 IOSLineDb::messageKey(qint64 chatPk, QByteArrayView uid)
{
    return quint64(qHash(uid, size_t(chatPk) * 0x9E3779B97F4A7C15ull));
}

qint64 IOSLineDb::findMessage(qint64 chatPk, const QString& uid)
{
    if (!_LineMsg::isRealUid(uid))
        return 0;
    if (!m_messageKeysLoaded)
        scanMessages(false);
    const QByteArray uidBytes = uid.toUtf8();
    const quint64 key = messageKey(chatPk, uidBytes);
    QVarLengthArray<qint64, 8> candidates;
    for (const MessageKeyIndex::Entry& entry : m_messageKeys.find(key))
        candidates.append(entry.rowKey);
    if (!m_insertedKeys.isEmpty()) {
        const qsizetype before = candidates.size();
        for (auto it = m_insertedKeys.constFind(key); it != m_insertedKeys.cend() && it.key() == key; ++it)
            candidates.append(it.value());
        std::sort(candidates.begin() + before, candidates.end());
    }
    // The lowest key of a row that is this message, as a look-up by id would find it.
    const QString chatText = QString::number(chatPk);
    for (const qint64 candidate : std::as_const(candidates)) {
        // The chat compared as text, as LIKE would (with a parameter as its pattern SQLite prepares the
        // statement again for every new value).
        Sqlite3Cursor cursor = query(
            Sqlite3Sql("select Z_PK, ZTEXT from ZMESSAGE where Z_PK=? and ZID=? and cast(ZCHAT as text)=?")
                .addInt64Param(candidate)
                .addTextBytesParam(uidBytes)
                .addTextParam(chatText));
        if (!cursor.moveNext())
            continue;
        const qint64 pk = cursor.int64At(0);
        if (EmojiText::hasDamagedEmoji(cursor.textViewAt(1))) {
            const QByteArray text = cursor.textBytesAt(1);
            cursor = {};
            execute(Sqlite3Sql("update ZMESSAGE set ZTEXT=? where Z_PK=?")
                        .addTextBytesParam(EmojiText::repairEmojiTerminator(text))
                        .addInt64Param(pk));
        }
        return pk;
    }
    return 0;
}

qint64 IOSLineDb::userPkOrInsert(const _LineUser& user)
{
    const qint64 pk = findUser(user.uid);
    return pk != 0 ? pk : insertUser(user);
}

qint64 IOSLineDb::insertChat(const _LineChat& chat)
{
    Sqlite3Row row;
    row[QStringLiteral("Z_ENT")] = m_entities.number(QStringLiteral("Chat"), QStringLiteral("ZCHAT"), 1);
    row[QStringLiteral("Z_OPT")] = 4;
    row[QStringLiteral("ZALERT")] = 1;
    row[QStringLiteral("ZE2EECONTENTTYPES")] = 0;
    row[QStringLiteral("ZENABLE")] = 1;
    row[QStringLiteral("ZLIVE")] = 0;
    row[QStringLiteral("ZSESSIONID")] = 0;
    row[QStringLiteral("ZSORTORDER")] = 0;
    row[QStringLiteral("ZTYPE")] =
        (chat.type >= _LineChat::Single && chat.type <= _LineChat::Group) ? chat.type : 0;
    row[QStringLiteral("ZUNREAD")] = 0;
    row[QStringLiteral("ZEXPIREINTERVAL")] = 0;
    row[QStringLiteral("ZMID")] = chat.uid;
    keepPresentColumns(QStringLiteral("ZCHAT"), row);
    execute(row.insertSql(QStringLiteral("ZCHAT")));
    forgetPaging();
    return lastInsertId();
}

qint64 IOSLineDb::insertGroup(const _LineGroup& group)
{
    if (m_groupDb.isOpen() || !m_schema.hasColumn(QStringLiteral("ZGROUP"), QStringLiteral("ZID")))
        return 0;
    Sqlite3Row row;
    row[QStringLiteral("Z_ENT")] = m_entities.number(QStringLiteral("Group"), QStringLiteral("ZGROUP"), 4);
    row[QStringLiteral("Z_OPT")] = 2;
    row[QStringLiteral("ZALERT")] = 1;
    row[QStringLiteral("ZENABLE")] = 1;
    row[QStringLiteral("ZFAVORITEORDER")] = 0;
    row[QStringLiteral("ZISACCEPTED")] = 1;
    row[QStringLiteral("ZISPREVENTLINKINVITATION")] = 0;
    row[QStringLiteral("ZISVIEWED")] = 1;
    if (group.creator)
        row[QStringLiteral("ZCREATOR")] = userPkOrInsert(*group.creator);
    row[QStringLiteral("ZID")] = group.uid;
    row[QStringLiteral("ZNAME")] = group.name;
    row[QStringLiteral("ZPICTURESTATUS")] = group.pictureStatus;
    keepPresentColumns(QStringLiteral("ZGROUP"), row);
    execute(row.insertSql(QStringLiteral("ZGROUP")));
    return lastInsertId();
}

qint64 IOSLineDb::insertUser(const _LineUser& user)
{
    Sqlite3Row row;
    row[QStringLiteral("Z_ENT")] = m_entities.number(QStringLiteral("User"), QStringLiteral("ZUSER"), 12);
    row[QStringLiteral("Z_OPT")] = 2;
    row[QStringLiteral("ZALERT")] = 1;
    for (const char* zero : {"ZBLOCKING", "ZCAPABILITIES", "ZCONTACTTYPE", "ZE2EECONTENTTYPES",
                             "ZFAVORITEORDER", "ZFRIENDREQUESTSTATUS", "ZISHIDDEN", "ZISINADDRESSBOOK",
                             "ZISRECOMMENDED", "ZISREMOVED", "ZISUNREGISTERED", "ZUSERTYPE"})
        row[QLatin1String(zero)] = 0;
    row[QStringLiteral("ZISFRIEND")] = 1;
    row[QStringLiteral("ZISVIEWED")] = 1;
    row[QStringLiteral("ZMID")] = user.uid;
    row[QStringLiteral("ZNAME")] = user.name;
    if (!user.customName.isEmpty())
        row[QStringLiteral("ZCUSTOMNAME")] = user.customName;
    if (!user.pictureUrl.isEmpty())
        row[QStringLiteral("ZPICTUREURL")] = user.pictureUrl;
    row[QStringLiteral("ZSORTABLENAME")] = user.displayName();
    keepPresentColumns(QStringLiteral("ZUSER"), row);
    execute(row.insertSql(QStringLiteral("ZUSER")));
    return lastInsertId();
}

qint64 IOSLineDb::insertMessage(qint64 chatPk, const _LineMsg& message)
{
    const bool outgoing = message.sender == nullptr;
    const _LineChat* chat = message.chat;
    const bool sharedChat = chat && (chat->type == _LineChat::Multi || chat->type == _LineChat::Group);
    const QString senderName = outgoing ? QString() : message.sender->displayName();
    Sqlite3Row row;
    row[QStringLiteral("Z_ENT")] =
        m_entities.number(QStringLiteral("Message"), QStringLiteral("ZMESSAGE"), 5);
    row[QStringLiteral("Z_OPT")] = outgoing ? 3 : 1;
    row[QStringLiteral("ZREADCOUNT")] = chat ? qint64(chat->members.size()) : qint64(0);
    row[QStringLiteral("ZSENDSTATUS")] = 1;
    row[QStringLiteral("ZTIMESTAMP")] = message.time.isValid() ? message.time.toMSecsSinceEpoch() : qint64(0);
    row[QStringLiteral("ZCHAT")] = chatPk;
    if (!outgoing)
        row[QStringLiteral("ZSENDER")] = userPkOrInsert(*message.sender);
    row[QStringLiteral("ZID")] = message.uid;
    row[QStringLiteral("ZCONTENTTYPE")] = MessageType::toIosContentType(message.type);

    auto mediaText = [&](const char* outgoingText, const char* sharedText) {
        if (outgoing)
            row[QStringLiteral("ZTEXT")] = QString::fromLatin1(outgoingText);
        else if (sharedChat)
            row[QStringLiteral("ZTEXT")] = QString::fromLatin1(sharedText).arg(senderName);
    };
    switch (message.type) {
    case MessageType::Photo:
    case MessageType::Video:
        row[QStringLiteral("ZLATITUDE")] = message.width();
        row[QStringLiteral("ZLONGITUDE")] = message.height();
        row[QStringLiteral("ZTHUMBNAIL")] = thumbnailBytes(message.thumbPath);
        if (message.type == MessageType::Photo)
            mediaText("You sent a photo.", "%1 sent you a photo.");
        else
            mediaText("You sent a video.", "%1 sent you a video.");
        break;
    case MessageType::Voice: {
        row[QStringLiteral("ZLATITUDE")] = message.size();
        if (outgoing) {
            const QString relative = m_location.accountPrefix +
                                     QStringLiteral("Message Attachments/%1/%2.mp4")
                                         .arg(chat ? chat->uid : QStringLiteral("unknown"), message.uid);
            QString container = m_containerPath;
            if (!container.isEmpty() && !container.endsWith(QLatin1Char('/')))
                container += QLatin1Char('/');
            row[QStringLiteral("ZTEXT")] = container + relative;
            row[QStringLiteral("ZCONTENTMETADATA")] =
                IOSContentMetadata::outgoingVoice(chat ? int(chat->members.size()) : 0);
        } else {
            row[QStringLiteral("ZTEXT")] = QStringLiteral("%1 sent you a voice message.").arg(senderName);
            row[QStringLiteral("ZCONTENTMETADATA")] = IOSContentMetadata::incomingVoice(message.size());
        }
        break;
    }
    case MessageType::Sticker: {
        const _LineSticker sticker = message.sticker();
        row[QStringLiteral("ZLONGITUDE")] = sticker.id;
        row[QStringLiteral("ZTEXT")] = QString(QLatin1String(""));
        row[QStringLiteral("ZCONTENTMETADATA")] =
            IOSContentMetadata::sticker(sticker.id, sticker.package, sticker.version);
        break;
    }
    case MessageType::Contact:
        row[QStringLiteral("ZCONTENTMETADATA")] =
            IOSContentMetadata::contact(message.contactUid(), message.contactName());
        row[QStringLiteral("ZTEXT")] = QString(QLatin1String(""));
        break;
    case MessageType::File: {
        const QFileInfo file(message.filePath);
        row[QStringLiteral("ZCONTENTMETADATA")] =
            IOSContentMetadata::file(message.fileName(), file.isFile() ? file.size() : 0,
                                     message.time.isValid() ? message.time.toMSecsSinceEpoch() : 0);
        break;
    }
    case MessageType::Location: {
        const _LineLocation location = message.location();
        row[QStringLiteral("ZLATITUDE")] = location.latitude;
        row[QStringLiteral("ZLONGITUDE")] = location.longitude;
        row[QStringLiteral("ZTEXT")] = location.name;
        break;
    }
    default: {
        QByteArray text = message.content.isEmpty() ? message.text.toUtf8() : message.content;
        if (EmojiText::hasDamagedEmoji(text))
            text = EmojiText::repairEmojiTerminator(text);
        row[QStringLiteral("ZLATITUDE")] = 0;
        row[QStringLiteral("ZLONGITUDE")] = 0;
        row[QStringLiteral("ZTEXT")] = textBytes(text);
        break;
    }
    }
    keepPresentColumns(QStringLiteral("ZMESSAGE"), row);
    execute(row.insertSql(QStringLiteral("ZMESSAGE")));
    forgetPaging();
    const qint64 pk = lastInsertId();
    if (m_messageKeysLoaded)
        m_insertedKeys.insert(messageKey(chatPk, message.uid.toUtf8()), pk);
    return pk;
}

void IOSLineDb::linkChatMembers(qint64 chatPk, const _LineChat& chat)
{
    for (const _LineUser* member : chat.members) {
        if (isOwner(member->uid))
            continue;
        const qint64 userPk = userPkOrInsert(*member);
        execute(QStringLiteral("replace into %1(%2,%3) values(%4,%5)")
                    .arg(m_joins.chatMembersTable, m_joins.chatColumn, m_joins.chatUserColumn)
                    .arg(chatPk)
                    .arg(userPk));
    }
}

void IOSLineDb::linkGroupMembers(qint64 groupPk, const _LineGroup& group)
{
    if (m_groupDb.isOpen() || !m_schema.hasColumn(m_joins.groupMembersTable, m_joins.groupColumn) ||
        !m_schema.hasColumn(m_joins.groupMembersTable, m_joins.groupUserColumn))
        return;
    for (const _LineUser* member : group.members) {
        if (isOwner(member->uid))
            continue;
        const qint64 userPk = userPkOrInsert(*member);
        execute(QStringLiteral("replace into %1(%2,%3) values(%4,%5)")
                    .arg(m_joins.groupMembersTable, m_joins.groupColumn, m_joins.groupUserColumn)
                    .arg(groupPk)
                    .arg(userPk));
    }
}

void IOSLineDb::updateChatSummary(qint64 chatPk, qint64 messagePk)
{
    Sqlite3Cursor newest = query(
        Sqlite3Sql(
            "select m.ZCONTENTTYPE,m.ZSENDSTATUS,m.ZTIMESTAMP,m.ZCHAT,m.ZSENDER,m.ZID,m.ZTEXT, u.ZNAME, "
            "u.ZADDRESSBOOKNAME from ZMESSAGE as m left join ZUSER as u on m.ZSENDER=u.Z_PK "
            "where m.Z_PK=?")
            .addInt64Param(messagePk));
    if (!newest.moveNext())
        return;
    QString sender = newest.getText(QStringLiteral("ZADDRESSBOOKNAME"));
    if (sender.isEmpty())
        sender = newest.getText(QStringLiteral("ZNAME"));
    const bool incoming = newest.getInt64(QStringLiteral("ZSENDER")) > 0;
    const QString id = incoming ? newest.getText(QStringLiteral("ZID")) : QString(QLatin1String(""));
    const double lastUpdated = double(newest.getInt64(QStringLiteral("ZTIMESTAMP"))) / 1000.0 -
                               double(PlistDates::ReferenceUnixSeconds);
    const QString summary = summaryText(newest.getInt(QStringLiteral("ZCONTENTTYPE")), incoming, sender,
                                        newest.getTextBytes(QStringLiteral("ZTEXT")));
    newest = {};

    // Older stores lack some of these columns; the ones present are kept current.
    QStringList assignments;
    QStringList differs;
    QList<Sqlite3Param> values;
    auto assign = [&](const char* column, const Sqlite3Param& value) {
        if (!m_schema.hasColumn(QStringLiteral("ZCHAT"), QLatin1String(column)))
            return;
        assignments << QStringLiteral("%1=?").arg(QLatin1String(column));
        differs << QStringLiteral("%1 is not ?").arg(QLatin1String(column));
        values << value;
    };
    assign("ZLASTUPDATED", {lastUpdated});
    assign("ZLASTRECEIVEDMESSAGEID", {id});
    assign("ZREADUPTOMESSAGEID", {id});
    assign("ZREADUPTOMESSAGEIDSYNCED", {id});
    assign("ZLASTMESSAGE", {summary});
    if (assignments.isEmpty())
        return;
    // A chat whose summary is already this one is left alone: a merge that adds nothing changes no row.
    Sqlite3Sql update;
    for (int pass = 0; pass < 2; ++pass) { // the values to set, then the same to compare
        for (const Sqlite3Param& value : std::as_const(values))
            update.addParam(value);
    }
    update.appendSql(QStringLiteral("update ZCHAT set %1 where (%2) and Z_PK=?")
                         .arg(assignments.join(QStringLiteral(", ")), differs.join(QStringLiteral(" or "))));
    update.addInt64Param(chatPk);
    execute(update);
}

void IOSLineDb::finish()
{
    // The newest listed message of every chat: after a pass over the messages in this transaction only the
    // rows written since are read, else the whole table once.
    NewestMessages newest;
    Sqlite3Sql sql;
    if (m_messageKeysLoaded) {
        newest = m_newest;
        sql.appendSql(
            QStringLiteral("select m.Z_PK, m.ZCHAT, m.ZTIMESTAMP from ZMESSAGE as m where m.Z_PK>? and "
                           "m.ZCHAT is not null and") +
            messageFilter());
        sql.addInt64Param(m_scannedMaxPk);
    } else {
        sql.appendSql(QStringLiteral("select m.Z_PK, m.ZCHAT, m.ZTIMESTAMP from ZMESSAGE as m where "
                                     "m.ZCHAT is not null and") +
                      messageFilter());
    }
    Sqlite3Cursor cursor = query(sql);
    while (cursor.moveNext())
        keepNewest(newest, cursor.int64At(1), cursor.doubleAt(2), cursor.int64At(0));
    cursor = {};
    for (auto it = newest.cbegin(); it != newest.cend(); ++it)
        updateChatSummary(it.key(), it.value().pk);

    // Z_MAX is Core Data's key counter: it must cover every row, and it never goes down, so that keys the
    // app handed out before (for rows since deleted) are not handed out again.
    auto keepCounter = [&](const char* table, const char* entity) {
        const QString counter =
            QStringLiteral("max(coalesce(Z_MAX, 0), coalesce((select max(Z_PK) from %1), 0))")
                .arg(QLatin1String(table));
        execute(QStringLiteral("update Z_PRIMARYKEY set Z_MAX=%1 where (Z_NAME='%2' or Z_NAME='%3') and "
                               "Z_MAX is not %1")
                    .arg(counter, QLatin1String(entity), QLatin1String(table)));
    };
    keepCounter("ZCHAT", "Chat");
    if (m_schema.hasTable(QStringLiteral("ZGROUP")))
        keepCounter("ZGROUP", "Group");
    keepCounter("ZMESSAGE", "Message");
    keepCounter("ZUSER", "User");

    execute("DROP INDEX IF EXISTS _vr_idx_Message_timestamp;");
    execute("DROP INDEX IF EXISTS _vr_idx_Message_chat_timestamp;");
    execute("DROP INDEX IF EXISTS _vr_idx_Message_id;");
    execute("DROP INDEX IF EXISTS _vr_idx_User_mid;");
    execute("DROP INDEX IF EXISTS _vr_idx_Chat_mid;");
    m_userMidIndex = false;
    m_chatMidIndex = false;
    forgetLookups();
    m_schema.read(*this);
    forgetPaging();
}
