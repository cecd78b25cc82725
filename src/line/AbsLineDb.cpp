#include "line/AbsLineDb.h"

#include "line/LineChat.h"
#include "line/LineData.h"
#include "storage/Sqlite3Row.h"

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
        sql.appendSql(QStringLiteral("select %1 from %2 as m cross join %3 as c where m.%4=c.%5")
                          .arg(table.columns, table.table, table.chatTable, table.chat, table.chatKey));
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
