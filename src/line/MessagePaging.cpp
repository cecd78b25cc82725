#include "line/MessagePaging.h"

#include "storage/Sqlite3Cursor.h"

std::optional<MessagePaging::Key> MessagePaging::startAfter(const Request& request) const
{
    if (request.page <= 1 || !sameWalk(request))
        return std::nullopt;
    if (request.page == m_request.page + 1 && m_last.isValid())
        return m_last;
    if (request.page == m_request.page && m_startedAfter && m_startedAfter->isValid())
        return m_startedAfter;
    return std::nullopt;
}

void MessagePaging::remember(const Request& request, const std::optional<Key>& startedAfter, const Key& last)
{
    m_known = true;
    m_request = request;
    m_startedAfter = startedAfter;
    m_last = last;
}

void MessagePaging::forget()
{
    m_known = false;
    m_request = {};
    m_startedAfter.reset();
    m_last = {};
}

bool MessagePaging::sameWalk(const Request& request) const
{
    return m_known && request.allChats == m_request.allChats &&
           (request.allChats || request.chatUid == m_request.chatUid) &&
           request.pageSize == m_request.pageSize && request.ascending == m_request.ascending;
}

MessagePaging::Key MessagePaging::keyOf(const Sqlite3Cursor& cursor, const QString& timeColumn,
                                        const QString& rowKeyColumn)
{
    return {cursor.getValue(timeColumn), cursor.getInt64(rowKeyColumn)};
}

QString MessagePaging::keysetCondition(const QString& timeColumn, const QString& rowKeyColumn, bool ascending)
{
    return QStringLiteral(" and (%1, %2) %3 (?, ?)").arg(timeColumn, rowKeyColumn, ascending ? ">" : "<");
}
