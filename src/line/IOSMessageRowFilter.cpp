#include "line/IOSMessageRowFilter.h"

#include "line/MessageType.h"

#include <QStringList>

const QString& IOSMessageRowFilter::sql()
{
    static const QString filter = [] {
        QStringList types;
        for (int type : MessageType::knownIosContentTypes())
            types << QString::number(type);
        return QStringLiteral(" m.ZTIMESTAMP < %1 and m.ZID <> '' and m.ZID is not null and "
                              "m.ZCONTENTTYPE in (%2)")
            .arg(LatestTime)
            .arg(types.join(QStringLiteral(", ")));
    }();
    return filter;
}

IOSMessageRowFilter::Row IOSMessageRowFilter::read(const Sqlite3Cursor& row, int chat, int id,
                                                   int contentType, int timestamp)
{
    using Type = Sqlite3Cursor::Type;
    Row values;
    values.chat = row.typeAt(chat);
    values.id = row.typeAt(id);
    values.contentType = row.typeAt(contentType);
    values.timestamp = row.typeAt(timestamp);
    values.contentTypeValue = values.contentType == Type::Integer ? row.int64At(contentType) : 0;
    values.timestampValue = values.timestamp == Type::Integer ? row.int64At(timestamp) : 0;
    // Asked after its type: reading a number as text converts the value SQLite holds.
    values.idText = values.id != Type::Null ? row.textViewAt(id) : QByteArrayView();
    return values;
}

std::optional<IOSMessageRowFilter::Flags> IOSMessageRowFilter::decide(const Row& row)
{
    using Type = Sqlite3Cursor::Type;
    if ((row.contentType != Type::Integer && row.contentType != Type::Null) ||
        (row.timestamp != Type::Integer && row.timestamp != Type::Null) ||
        (row.id != Type::Text && row.id != Type::Null))
        return std::nullopt;
    // A NULL compares as neither true nor false, which a filter takes as false.
    const bool typed = row.contentType == Type::Integer;
    const qint64 type = row.contentTypeValue;
    Flags flags;
    flags.notice = typed && type == NoticeContentType;
    flags.listed = row.chat != Type::Null && row.timestamp == Type::Integer &&
                   row.timestampValue < LatestTime && row.id == Type::Text && !row.idText.isEmpty() &&
                   typed && qint64(int(type)) == type &&
                   MessageType::knownIosContentTypes().contains(int(type));
    return flags;
}

QString IOSMessageRowFilter::sqlForRow()
{
    return QStringLiteral("select m.ZCONTENTTYPE=%1, m.ZCHAT is not null and%2 from ZMESSAGE as m where "
                          "m.Z_PK=?")
        .arg(NoticeContentType)
        .arg(sql());
}
