#include "line/AbsLineDb.h"

#include "line/LineChat.h"
#include "line/LineData.h"
#include "storage/Sqlite3Row.h"

#include <QHash>
#include <QStringList>
#include <limits>

AbsLineDb::~AbsLineDb() = default;

void AbsLineDb::loadContacts(const std::shared_ptr<_LineData>& data)
{
    if (!data)
        return;
    m_contactsData = data;
    fillContacts(*data);
}

QList<qint64> AbsLineDb::chatKeysOf(const QString& uid)
{
    const MessageTable& table = messageTable();
    QList<qint64> keys;
    Sqlite3Cursor cursor = query(
        Sqlite3Sql(
            QStringLiteral("select %1 from %2 where %3=?").arg(table.chatKey, table.chatTable, table.chatUid))
            .addTextParam(uid));
    while (cursor.moveNext())
        keys << cursor.getInt64(0);
    return keys;
}

QString AbsLineDb::chatKeyCondition(const QString& column, const QList<qint64>& keys, Sqlite3Sql& sql)
{
    QStringList marks;
    for (qint64 key : keys) {
        marks << QStringLiteral("?");
        sql.addInt64Param(key);
    }
    return keys.size() == 1 ? column + QStringLiteral("=?")
                            : QStringLiteral("%1 in (%2)").arg(column, marks.join(QLatin1Char(',')));
}

QList<_LineMsg> AbsLineDb::loadMessages(const _LineChat* chat, qint64 page, int pageSize, bool ascending)
{
    open();
    if (page < 1 || pageSize <= 0 || page - 1 > std::numeric_limits<qint64>::max() / pageSize)
        return {};
    const MessageTable& table = messageTable();
    const MessagePaging::Request request{chat == nullptr, chat ? chat->uid : QString(), page, pageSize,
                                         ascending};
    const std::optional<MessagePaging::Key> after = m_paging.startAfter(request);

    // One chat: by its row keys, so the (chat, time) index yields the rows in order. All chats: along the
    // time index, each message's chat looked up by key (the cross join keeps SQLite from starting at the
    // chats and sorting everything for every page).
    const QString time = QStringLiteral("m.") + table.time;
    const QString rowKey = QStringLiteral("m.") + table.rowKey;
    Sqlite3Sql sql;
    if (chat) {
        const QList<qint64> keys = chatKeysOf(chat->uid);
        if (keys.isEmpty())
            return {};
        sql.appendSql(QStringLiteral("select %1 from %2 as m where ").arg(table.columns, table.table) +
                      chatKeyCondition(QStringLiteral("m.") + table.chat, keys, sql));
    } else {
        sql.appendSql(allMessagesSql());
    }
    sql.appendSql(table.filter);
    if (after) {
        sql.appendSql(MessagePaging::keysetCondition(time, rowKey, ascending));
        sql.addParam(Sqlite3Row::toParam(after->time)).addInt64Param(after->rowKey);
    }
    sql.appendSql(ascending ? QStringLiteral(" order by %1 asc, %2 asc").arg(time, rowKey)
                            : QStringLiteral(" order by %1 desc, %2 desc").arg(time, rowKey));
    sql.appendSql(QStringLiteral(" limit %1").arg(pageSize));
    if (!after)
        sql.appendSql(QStringLiteral(" offset %1").arg(qint64(pageSize) * (page - 1)));

    const std::shared_ptr<_LineData> data = contactsData();
    QList<_LineMsg> messages;
    messages.reserve(std::min(pageSize, _LineData::DefaultPageSize));
    MessagePaging::Key last;
    Sqlite3Cursor cursor = query(sql);
    const MessageReader read = messageReader(cursor, data.get());
    while (cursor.moveNext()) {
        messages.append(read(cursor));
        // Only a full page has a next one to continue from.
        if (messages.size() == pageSize)
            last = MessagePaging::keyOf(cursor, table.time, table.rowKey);
    }
    m_paging.remember(request, after, last);
    return messages;
}

QString AbsLineDb::allMessagesSql() const
{
    const MessageTable& table = messageTable();
    return QStringLiteral("select %1 from %2 as m cross join %3 as c where m.%4=c.%5")
        .arg(table.columns, table.table, table.chatTable, table.chat, table.chatKey);
}

void AbsLineDb::forEachMessageText(const std::function<void(const _LineMsg& message)>& visit)
{
    open();
    const MessageTable& table = messageTable();
    const std::shared_ptr<_LineData> data = contactsData();
    Sqlite3Cursor cursor =
        query(Sqlite3Sql(allMessagesSql() + table.filter +
                         QStringLiteral(" order by m.%1 asc, m.%2 asc").arg(table.time, table.rowKey)));
    const MessageReader read = textReader(cursor, data.get());
    while (cursor.moveNext())
        visit(read(cursor));
}

QList<_LineMsg> AbsLineDb::loadMessagesByKeys(const QList<qint64>& keys, bool textOnly)
{
    open();
    if (keys.isEmpty())
        return {};
    const MessageTable& table = messageTable();
    const std::shared_ptr<_LineData> data = contactsData();
    QHash<qint64, _LineMsg> found;
    // In slices, well below SQLite's limit of bound parameters.
    constexpr qsizetype kSlice = 500;
    for (qsizetype start = 0; start < keys.size(); start += kSlice) {
        Sqlite3Sql sql(allMessagesSql() + table.filter);
        const QList<qint64> slice = keys.mid(start, kSlice);
        sql.appendSql(QStringLiteral(" and ") +
                      chatKeyCondition(QStringLiteral("m.") + table.rowKey, slice, sql));
        Sqlite3Cursor cursor = query(sql);
        const MessageReader read =
            textOnly ? textReader(cursor, data.get()) : messageReader(cursor, data.get());
        while (cursor.moveNext()) {
            _LineMsg message = read(cursor);
            found.insert(message.id, std::move(message));
        }
    }
    QList<_LineMsg> messages;
    messages.reserve(found.size());
    for (qint64 key : keys) {
        const auto it = found.constFind(key);
        if (it != found.constEnd())
            messages.append(*it);
    }
    return messages;
}

QString AbsLineDb::contentIdentity()
{
    open();
    const MessageTable& table = messageTable();
    const QString query =
        QStringLiteral("select count(*), total(m.%1), max(m.%1), total(m.%2), max(m.%2) from "
                       "%3 as m cross join %4 as c where m.%5=c.%6")
            .arg(table.rowKey, table.time, table.table, table.chatTable, table.chat, table.chatKey) +
        table.filter;
    Sqlite3Cursor cursor = this->query(Sqlite3Sql(query));
    QStringList parts;
    if (cursor.moveNext()) {
        for (int i = 0; i < 5; ++i)
            parts << cursor.textAt(i);
    }
    return parts.join(QLatin1Char('|'));
}
