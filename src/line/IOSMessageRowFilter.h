#pragma once

#include "storage/Sqlite3Cursor.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// The message filter of LINE's store (the rows a chat lists) worked out from one row's values, so that a
// pass over a million rows does not evaluate it in SQL for each. Only values of the storage classes LINE
// writes are decided here; for anything else (a text time, a numeric id) SQLite's comparison rules apply
// and the answer is std::nullopt: the caller asks SQL for that row.
struct IOSMessageRowFilter
{
    // The notice LINE writes when a chat changes (never listed, and removed before a merge).
    static constexpr qint64 NoticeContentType = 106;
    // Later than any real message, in milliseconds: a row with a larger time is damaged.
    static constexpr qint64 LatestTime = 4000000000000;

    // One row's values as read once from the cursor: the storage class of each, the numbers and the id's
    // text when that is what they hold.
    struct Row
    {
        Sqlite3Cursor::Type chat = Sqlite3Cursor::Type::Null;
        Sqlite3Cursor::Type id = Sqlite3Cursor::Type::Null;
        Sqlite3Cursor::Type contentType = Sqlite3Cursor::Type::Null;
        Sqlite3Cursor::Type timestamp = Sqlite3Cursor::Type::Null;
        QByteArrayView idText;
        qint64 contentTypeValue = 0;
        qint64 timestampValue = 0;
    };
    struct Flags
    {
        bool notice = false; // ZCONTENTTYPE=106
        bool listed = false; // ZCHAT is not null and the filter
    };

    // The filter in SQL over a message table named m, with a leading space.
    static const QString& sql();
    // The values a row holds in the given columns of a cursor on it; valid until the cursor moves.
    static Row read(const Sqlite3Cursor& row, int chat, int id, int contentType, int timestamp);
    static std::optional<Flags> decide(const Row& row);
    // The SQL of both flags for one row, by its Z_PK as the only parameter.
    static QString sqlForRow();
};
