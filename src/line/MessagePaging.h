#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class Sqlite3Cursor;

// Remembers where the last page read from a message table began and ended, so that asking for the next
// page of the same walk continues after the last row (keyset paging) instead of skipping the earlier
// pages with OFFSET, whose cost grows with the offset and makes a full walk quadratic.
//
// Messages are ordered by (time, row key): the row key breaks ties between equal times, so the order is
// total and a keyset page holds exactly the rows the OFFSET page would hold.
class MessagePaging
{
public:
    // One page request. A null chat uid with allChats false never happens; allChats ignores chatUid.
    struct Request
    {
        bool allChats = true;
        QString chatUid;
        qint64 page = 1;
        int pageSize = 0;
        bool ascending = true;
    };

    // The (time, row key) of one row. A NULL time cannot be compared with, so it makes no boundary.
    struct Key
    {
        QVariant time;
        qint64 rowKey = 0;
        bool isValid() const { return time.isValid() && !time.isNull(); }
    };

    // The key after which the requested page starts, when an earlier page tells; nullopt means the
    // caller reads the page with OFFSET.
    std::optional<Key> startAfter(const Request& request) const;

    // Records the page just read: the key it started after (nullopt when read by OFFSET) and the key of
    // its last row (invalid when the page was empty).
    void remember(const Request& request, const std::optional<Key>& startedAfter, const Key& last);

    // Forgets everything; call after any change to the messages.
    void forget();

    // The key of the current row of a cursor from its time and row-key columns.
    static Key keyOf(const Sqlite3Cursor& cursor, const QString& timeColumn, const QString& rowKeyColumn);

    // " and (time, key) > (?, ?)" for ascending walks, "<" for descending ones.
    static QString keysetCondition(const QString& timeColumn, const QString& rowKeyColumn, bool ascending);

private:
    bool sameWalk(const Request& request) const;

    bool m_known = false;
    Request m_request;
    std::optional<Key> m_startedAfter;
    Key m_last;
};
