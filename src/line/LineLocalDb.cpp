#include "line/LineLocalDb.h"

#include "app/FileNames.h"
#include "line/EmojiText.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineError.h"
#include "line/LineGroup.h"
#include "line/LineUser.h"
#include "line/MessageType.h"
#include "line/TinyKv.h"
#include "storage/Sqlite3Row.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>
#include <QStringList>

namespace {

const QString kThumbsFolder = QStringLiteral("thumbs");
const QString kFilesFolder = QStringLiteral("files");
const QString kSchemaResource = QStringLiteral(":/res/linelocaldb.sql");

QVariant secondsOrNull(const QDateTime& time)
{
    return time.isValid() ? QVariant(qint64(time.toSecsSinceEpoch())) : QVariant();
}

QDateTime timeFromSeconds(const Sqlite3Cursor& cursor, const QString& column)
{
    if (cursor.isNull(column))
        return {};
    return QDateTime::fromSecsSinceEpoch(cursor.getInt64(column));
}

QVariant textOrNull(const QString& text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

} // namespace

LineLocalDb::LineLocalDb(const QString& folder)
    : m_folder(folder), m_thumbsFolder(QDir(folder).filePath(kThumbsFolder)),
      m_filesFolder(QDir(folder).filePath(kFilesFolder))
{
    m_messageTable = {.table = QStringLiteral("line_msg"),
                      .columns = QStringLiteral("m.*"),
                      .time = QStringLiteral("ts"),
                      .rowKey = QStringLiteral("_id"),
                      .chat = QStringLiteral("chat_id"),
                      .chatTable = QStringLiteral("line_chat"),
                      .chatKey = QStringLiteral("_id"),
                      .chatUid = QStringLiteral("uid"),
                      .filter = {}};
}

LineLocalDb::~LineLocalDb() = default;

QString LineLocalDb::dbFilePath() const
{
    return QDir(m_folder).filePath(DbFileName);
}

bool LineLocalDb::existsIn(const QString& folder)
{
    const QFileInfo file(QDir(folder).filePath(DbFileName));
    return file.isFile() && file.size() > 0;
}

void LineLocalDb::open()
{
    if (isOpen())
        return;
    for (const QString& folder : {thumbsFolder(), filesFolder()}) {
        if (!QDir().mkpath(folder))
            throwLineError(tr("The folder %1 of the message database cannot be created.")
                               .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath())));
    }
    const QString path = dbFilePath();
    if (!existsIn(m_folder))
        createDatabase(path);
    openFile(path, OpenReadWrite);
    try {
        m_schema.read(*this);
        checkTables();
        Sqlite3Transaction transaction(*this);
        migrate();
        removeForeignUsers();
        transaction.commit();
    } catch (...) {
        // A half-prepared database must not pass for an open one on the next call.
        close();
        m_schema.clear();
        throw;
    }
    forgetPaging();
}

void LineLocalDb::createDatabase(const QString& path)
{
    QFile script(kSchemaResource);
    if (!script.open(QIODevice::ReadOnly))
        throwLineError(tr("The database layout cannot be read: %1").arg(script.errorString()));
    const QString text = QString::fromUtf8(script.readAll());

    // Built under a temporary name and renamed when complete, so a failure never leaves a file that
    // looks like a database but lacks tables.
    const QString temporary = path + QStringLiteral(".creating");
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
    {
        Sqlite3DB creating;
        try {
            creating.openFile(temporary, OpenReadWriteCreate, path);
        } catch (const std::exception& error) {
            throwLineError(tr("The message database %1 cannot be created: %2")
                               .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                    QString::fromUtf8(error.what())));
        }
        QString error;
        if (creating.exec(text, &error) != 0) {
            creating.close();
            QFile::remove(temporary);
            throwLineError(tr("The message database cannot be created: %1").arg(error));
        }
    }
    QFile::remove(path); // an empty file of that name, if any
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        throwLineError(tr("The message database cannot be created: %1").arg(QDir::toNativeSeparators(path)));
    }
}

void LineLocalDb::checkTables()
{
    for (const char* table :
         {"line_chat", "line_user", "line_group", "line_chat_users", "line_group_members", "line_msg"}) {
        if (!m_schema.hasTable(QLatin1String(table)))
            throwLineError(tr("%1 is not a message database of this program (the table %2 is missing).")
                               .arg(QDir::toNativeSeparators(dbFilePath()), QLatin1String(table)));
    }
}

void LineLocalDb::migrate()
{
    bool changed = false;
    if (!m_schema.hasColumn(QStringLiteral("line_msg"), QStringLiteral("ver"))) {
        execute("ALTER TABLE line_msg ADD COLUMN ver INTEGER");
        changed = true;
    }
    if (!m_schema.hasColumn(QStringLiteral("line_user"), QStringLiteral("custom_name"))) {
        execute("ALTER TABLE line_user ADD COLUMN custom_name VARCHAR");
        changed = true;
    }
    if (!m_schema.hasObject(QStringLiteral("_vr_idx_line_msg_ts"))) {
        execute("CREATE INDEX _vr_idx_line_msg_ts ON line_msg(ts)");
        changed = true;
    }
    if (changed)
        m_schema.read(*this);
}

void LineLocalDb::removeForeignUsers()
{
    execute(
        "delete from line_chat_users where user_id in (select _id from line_user where uid not like 'u%')");
    execute("delete from line_group_members where user_id in (select _id from line_user where uid not "
            "like 'u%')");
    execute("delete from line_msg where from_id in (select _id from line_user where uid not like 'u%')");
    execute("delete from line_user where uid not like 'u%'");
}

void LineLocalDb::fillContacts(_LineData& data)
{
    open();
    Sqlite3Cursor users = query("select * from line_user");
    while (users.moveNext()) {
        const qint64 id = users.getInt64(QStringLiteral("_id"));
        if (data.user(id))
            continue;
        auto user = std::make_unique<_LineUser>();
        user->id = id;
        user->uid = users.getText(QStringLiteral("uid"));
        user->addressBookName = users.getText(QStringLiteral("contact_name"));
        user->name = users.getText(QStringLiteral("server_name"));
        user->customName = users.getText(QStringLiteral("custom_name"));
        user->createdTime = timeFromSeconds(users, QStringLiteral("create_ts"));
        user->pictureUrl = users.getText(QStringLiteral("pic_uri"));
        data.insertUser(std::move(user));
    }

    Sqlite3Cursor chats = query("select * from line_chat");
    while (chats.moveNext()) {
        const qint64 id = chats.getInt64(QStringLiteral("_id"));
        if (data.chat(id))
            continue;
        auto chat = std::make_unique<_LineChat>();
        chat->id = id;
        chat->uid = chats.getText(QStringLiteral("uid"));
        chat->type = _LineChat::typeFromWord(chats.getText(QStringLiteral("type")));
        data.insertChat(std::move(chat));
    }

    Sqlite3Cursor chatUsers = query("select * from line_chat_users");
    while (chatUsers.moveNext()) {
        _LineChat* chat = data.chat(chatUsers.getInt64(QStringLiteral("chat_id")));
        _LineUser* user = data.user(chatUsers.getInt64(QStringLiteral("user_id")));
        if (chat && user)
            chat->members.insert(user);
    }

    Sqlite3Cursor lastTimes = query("select chat_id, max(ts) as last_ts from line_msg group by chat_id");
    while (lastTimes.moveNext()) {
        if (_LineChat* chat = data.chat(lastTimes.getInt64(QStringLiteral("chat_id"))))
            chat->lastUpdated = timeFromSeconds(lastTimes, QStringLiteral("last_ts"));
    }

    Sqlite3Cursor groups =
        query("select g.*, c._id as chat_id from line_group as g inner join line_chat as c on g.uid=c.uid");
    while (groups.moveNext()) {
        _LineChat* chat = data.chat(groups.getInt64(QStringLiteral("chat_id")));
        if (!chat)
            continue;
        const qint64 id = groups.getInt64(QStringLiteral("_id"));
        _LineGroup* group = data.group(id);
        if (!group) {
            auto created = std::make_unique<_LineGroup>();
            created->id = id;
            created->uid = groups.getText(QStringLiteral("uid"));
            created->name = groups.getText(QStringLiteral("name"));
            created->createdTime = timeFromSeconds(groups, QStringLiteral("create_ts"));
            created->pictureStatus = groups.getText(QStringLiteral("pic_status"));
            if (!groups.isNull(QStringLiteral("creator_id")))
                created->creator = data.user(groups.getInt64(QStringLiteral("creator_id")));
            group = data.insertGroup(std::move(created));
        }
        chat->group = group;
    }

    Sqlite3Cursor members = query("select * from line_group_members");
    while (members.moveNext()) {
        _LineGroup* group = data.group(members.getInt64(QStringLiteral("group_id")));
        _LineUser* user = data.user(members.getInt64(QStringLiteral("user_id")));
        if (group && user)
            group->members.insert(user);
    }
}

qint64 LineLocalDb::countMessages(const _LineChat* chat)
{
    open();
    if (!chat)
        return queryInt64("select count(*) from line_msg as m inner join line_chat as c on m.chat_id=c._id",
                          0);
    // By the chat's row keys, so the (chat_id, ts) index counts; joining on the uid may scan every message.
    qint64 count = 0;
    for (qint64 id : chatKeysOf(chat->uid))
        count += queryInt64(Sqlite3Sql("select count(*) from line_msg where chat_id=?").addInt64Param(id), 0);
    return count;
}

AbsLineDb::MessageReader LineLocalDb::messageReader(const Sqlite3Cursor& cursor, const _LineData* data) const
{
    return [this, columns = Columns::of(cursor), data](const Sqlite3Cursor& row) {
        return messageFromRow(row, columns, data, true);
    };
}

AbsLineDb::MessageReader LineLocalDb::textReader(const Sqlite3Cursor& cursor, const _LineData* data) const
{
    return [this, columns = Columns::of(cursor), data](const Sqlite3Cursor& row) {
        return messageFromRow(row, columns, data, false);
    };
}

LineLocalDb::Columns LineLocalDb::Columns::of(const Sqlite3Cursor& cursor)
{
    Columns columns;
    columns.id = cursor.columnIndexOf(QStringLiteral("_id"));
    columns.uid = cursor.columnIndexOf(QStringLiteral("uid"));
    columns.type = cursor.columnIndexOf(QStringLiteral("type"));
    columns.ts = cursor.columnIndexOf(QStringLiteral("ts"));
    columns.chat = cursor.columnIndexOf(QStringLiteral("chat_id"));
    columns.from = cursor.columnIndexOf(QStringLiteral("from_id"));
    columns.content = cursor.columnIndexOf(QStringLiteral("content"));
    columns.ver = cursor.columnIndexOf(QStringLiteral("ver"));
    columns.atta = cursor.columnIndexOf(QStringLiteral("atta"));
    return columns;
}

_LineMsg LineLocalDb::messageFromRow(const Sqlite3Cursor& cursor, const Columns& columns,
                                     const _LineData* data, bool withMedia) const
{
    _LineMsg message;
    message.id = cursor.int64At(columns.id);
    message.uid = cursor.textAt(columns.uid);
    message.type = MessageType::fromWordBytes(cursor.textViewAt(columns.type));
    if (!cursor.isNullAt(columns.ts))
        message.time = QDateTime::fromSecsSinceEpoch(cursor.int64At(columns.ts));
    if (data) {
        message.chat = data->chat(cursor.int64At(columns.chat));
        if (!cursor.isNullAt(columns.from))
            message.sender = data->user(cursor.int64At(columns.from));
    }
    message.content = cursor.textBytesAt(columns.content);
    // Rows written before the "ver" column may have lost LINE's emoji terminators to U+FFFD.
    if (cursor.int64At(columns.ver, 0) == 0)
        message.content = EmojiText::repairEmojiTerminator(message.content);
    message.text = EmojiText::decodeEmojiText(message.content);
    // Decoded straight from SQLite's buffer (the decoder copies what it keeps).
    const QByteArrayView atta = cursor.blobViewAt(columns.atta);
    if (!atta.isEmpty())
        message.atta = TinyKv::decode(QByteArray::fromRawData(atta.data(), atta.size()));
    if (!withMedia)
        return message;

    const MediaPaths paths = mediaPaths(message);
    if (message.type == MessageType::Photo || message.type == MessageType::Video)
        message.thumbPath = paths.thumbPath;
    message.filePath = paths.filePath;
    return message;
}

QString LineLocalDb::chatFolderName(const _LineChat* chat) const
{
    if (!chat)
        return NoChatFolder;
    // Remembered per chat: a walk asks for the same few names again and again.
    const auto known = m_chatFolderNames.constFind(chat->uid);
    if (known != m_chatFolderNames.cend())
        return known.value();
    if (m_chatFolderNames.size() >= MaxRememberedChatFolders)
        m_chatFolderNames.clear();
    return *m_chatFolderNames.insert(chat->uid, fileNameSafe(chat->uid));
}

LineLocalDb::MediaPaths LineLocalDb::mediaPaths(const _LineMsg& message) const
{
    MediaPaths paths;
    const int type = message.type;
    if (type != MessageType::Photo && type != MessageType::Video && type != MessageType::Voice &&
        type != MessageType::File)
        return paths;
    // Built with QStringBuilder: one allocation per path, and only the paths the type has.
    const QString key = chatFolderName(message.chat) % QLatin1Char('/') % fileNameSafe(message.uid);
    const QString file = m_filesFolder % QLatin1Char('/') % key;
    if (type == MessageType::Photo || type == MessageType::Video)
        paths.thumbPath = m_thumbsFolder % QLatin1Char('/') % key % QLatin1String(".thumb.jpg");
    switch (type) {
    case MessageType::Photo:
        paths.filePath = file % QLatin1String(".jpg");
        break;
    case MessageType::Video:
        paths.filePath = file % QLatin1String(".mp4");
        break;
    case MessageType::Voice:
        paths.filePath = file % QLatin1String(".aac");
        break;
    default: {
        // The suffix is encoded like the rest of the name, so it can add no separator to the path.
        const QString suffix = QFileInfo(message.fileName()).suffix();
        paths.filePath = suffix.isEmpty() ? file : QString(file % QLatin1Char('.') % fileNameSafe(suffix));
        break;
    }
    }
    return paths;
}

void LineLocalDb::enlargePageCache()
{
    // Every merged message is looked up in, and added to, indexes that outgrow SQLite's default 2 MB page
    // cache within the first hundred thousand rows.
    execute(Sqlite3Sql("PRAGMA cache_size=-65536"));
}

qint64 LineLocalDb::findChat(const QString& uid)
{
    return queryInt64(Sqlite3Sql("select _id from line_chat where uid=?").addTextParam(uid), 0);
}

qint64 LineLocalDb::findGroup(const QString& uid)
{
    return queryInt64(Sqlite3Sql("select _id from line_group where uid=?").addTextParam(uid), 0);
}

qint64 LineLocalDb::findUser(const QString& uid)
{
    return queryInt64(Sqlite3Sql("select _id from line_user where uid=?").addTextParam(uid), 0);
}

qint64 LineLocalDb::findMessage(qint64 chatId, const QString& uid)
{
    if (!_LineMsg::isRealUid(uid))
        return 0;
    return queryInt64(Sqlite3Sql("select _id from line_msg where uid=? and chat_id=?")
                          .addTextParam(uid)
                          .addInt64Param(chatId),
                      0);
}

qint64 LineLocalDb::insertChat(const _LineChat& chat)
{
    Sqlite3Row row;
    row[QStringLiteral("uid")] = chat.uid;
    row[QStringLiteral("type")] = _LineChat::typeWord(chat.type);
    execute(row.insertSql(QStringLiteral("line_chat")));
    forgetPaging();
    return lastInsertId();
}

qint64 LineLocalDb::insertUser(const _LineUser& user)
{
    Sqlite3Row row;
    row[QStringLiteral("uid")] = user.uid;
    row[QStringLiteral("contact_name")] = textOrNull(user.addressBookName);
    row[QStringLiteral("server_name")] = textOrNull(user.name);
    row[QStringLiteral("custom_name")] = textOrNull(user.customName);
    row[QStringLiteral("create_ts")] = secondsOrNull(user.createdTime);
    row[QStringLiteral("pic_uri")] = textOrNull(user.pictureUrl);
    execute(row.insertSql(QStringLiteral("line_user")));
    return lastInsertId();
}

qint64 LineLocalDb::userIdOrInsert(const _LineUser& user)
{
    const qint64 id = findUser(user.uid);
    return id != 0 ? id : insertUser(user);
}

qint64 LineLocalDb::insertGroup(const _LineGroup& group)
{
    Sqlite3Row row;
    row[QStringLiteral("uid")] = group.uid;
    if (group.creator)
        row[QStringLiteral("creator_id")] = userIdOrInsert(*group.creator);
    row[QStringLiteral("name")] = textOrNull(group.name);
    row[QStringLiteral("pic_status")] = textOrNull(group.pictureStatus);
    row[QStringLiteral("create_ts")] = secondsOrNull(group.createdTime);
    execute(row.insertSql(QStringLiteral("line_group")));
    return lastInsertId();
}

qint64 LineLocalDb::insertMessage(qint64 chatId, const _LineMsg& message)
{
    Sqlite3Row row;
    row[QStringLiteral("ver")] = 1;
    row[QStringLiteral("uid")] = message.uid;
    row[QStringLiteral("type")] = MessageType::word(message.type);
    row[QStringLiteral("ts")] = secondsOrNull(message.time);
    row[QStringLiteral("chat_id")] = chatId;
    if (message.sender)
        row[QStringLiteral("from_id")] = userIdOrInsert(*message.sender);
    row[QStringLiteral("content")] = QVariant::fromValue(Sqlite3Row::TypeTextBytes{message.content});
    if (!message.atta.isEmpty())
        row[QStringLiteral("atta")] = TinyKv::encode(message.atta);
    execute(row.insertSql(QStringLiteral("line_msg")));
    forgetPaging();
    return lastInsertId();
}

void LineLocalDb::linkChatUsers(qint64 chatId, const _LineChat& chat)
{
    for (const _LineUser* user : chat.members) {
        const qint64 userId = userIdOrInsert(*user);
        execute(QStringLiteral("replace into line_chat_users(chat_id,user_id) values(%1,%2)")
                    .arg(chatId)
                    .arg(userId));
    }
}

void LineLocalDb::linkGroupMembers(qint64 groupId, const _LineGroup& group)
{
    for (const _LineUser* user : group.members) {
        const qint64 userId = userIdOrInsert(*user);
        execute(QStringLiteral("replace into line_group_members(group_id,user_id) values(%1,%2)")
                    .arg(groupId)
                    .arg(userId));
    }
}

void LineLocalDb::deleteMessages(const QList<_LineMsg>& messages)
{
    open();
    Sqlite3Transaction transaction(*this);
    for (const _LineMsg& message : messages) {
        if (!message.hasUid()) {
            // Without a real uid the pair (chat, uid) names unrelated messages too.
            execute(Sqlite3Sql("delete from line_msg where _id=?").addInt64Param(message.id));
            continue;
        }
        execute(Sqlite3Sql("delete from line_msg where chat_id=? and uid=?")
                    .addInt64Param(message.chat ? message.chat->id : 0)
                    .addTextParam(message.uid));
    }
    execute(
        "delete from line_chat where (select 1 from line_msg where chat_id=line_chat._id limit 1) is null");
    transaction.commit();
    forgetPaging();
}

void LineLocalDb::deleteChat(qint64 chatId)
{
    open();
    Sqlite3Transaction transaction(*this);
    execute(QStringLiteral("delete from line_chat where _id=%1").arg(chatId));
    execute(QStringLiteral("delete from line_msg where chat_id=%1").arg(chatId));
    transaction.commit();
    forgetPaging();
}
