#pragma once

#include "line/LineMsg.h"
#include "line/MessagePaging.h"
#include "storage/Sqlite3DB.h"

#include <QList>
#include <functional>
#include <memory>

class _LineData;
struct _LineChat;

// Base of the LINE message databases (LINE's own iPhone store, the local message database). Failures
// are thrown as the access layer's errors (std::runtime_error with a text meant for the user).
class AbsLineDb : public Sqlite3DB
{
public:
    AbsLineDb() = default;
    ~AbsLineDb() override;

    // Prepares the opened database for use (indexes, migrations, bookkeeping). Does nothing when the
    // database is already open.
    virtual void open() = 0;

    // Fills the data set's users, chats and groups, and remembers the set: the messages of later pages point
    // at its records. A null set is left alone.
    void loadContacts(const std::shared_ptr<_LineData>& data);

    // The number of messages of one chat, or of every chat when chat is null.
    virtual qint64 countMessages(const _LineChat* chat) = 0;

    // One page of messages ordered by (time, row key): at most pageSize messages from offset
    // pageSize * (page - 1); page counts from 1. Opens the database when needed. The messages' chat and
    // sender point into the data set given to loadContacts (null without one).
    //
    // Readers usually walk pages in order 1, 2, 3 ... of one chat and order: a page that follows the
    // previous one of the same walk is read after that page's last row (keyset paging, see MessagePaging)
    // instead of with a growing OFFSET; any other request gives what the plain offset query gives.
    //
    // Written once here for every database, from its messageTable() and messageReader(); virtual only
    // so that a test double can watch the requests.
    virtual QList<_LineMsg> loadMessages(const _LineChat* chat, qint64 page, int pageSize, bool ascending);

protected:
    // Where a database keeps its messages and chats, for the page and chat-key queries built here. In
    // those queries the message table is "m" and the chat table "c".
    struct MessageTable
    {
        QString table;     // the message table
        QString columns;   // what a page selects, e.g. "m.*"
        QString time;      // the message time column
        QString rowKey;    // the message row key column: breaks ties between equal times
        QString chat;      // the message's chat key column
        QString chatTable; // the chat table
        QString chatKey;   // the chat row key column
        QString chatUid;   // the chat's LINE id column
        QString filter;    // conditions on m every listed message meets (" and ..."), empty for none
    };
    virtual const MessageTable& messageTable() const = 0;

    // Turns the current row of a page query into a message. Made once per query, so a reader can look
    // its columns up once.
    using MessageReader = std::function<_LineMsg(const Sqlite3Cursor& cursor)>;
    virtual MessageReader messageReader(const Sqlite3Cursor& cursor, const _LineData* data) const = 0;

    // The part of loadContacts that reads the database into a set that is not null.
    virtual void fillContacts(_LineData& data) = 0;

    // The set given to the last loadContacts while something still holds it; null otherwise.
    std::shared_ptr<_LineData> contactsData() const { return m_contactsData.lock(); }

    // Call after any change to the messages or chats (and on open): the next page is read by OFFSET.
    void forgetPaging() { m_paging.forget(); }

    // The row keys of the chats with this LINE id (a damaged store may hold more than one).
    QList<qint64> chatKeysOf(const QString& uid);
    // "column=?" or "column in (?,?)" with the keys bound to sql: a chat's messages then come by the
    // (chat, time) index, where joining the chat on its id may make SQLite walk every message.
    static QString chatKeyCondition(const QString& column, const QList<qint64>& keys, Sqlite3Sql& sql);

private:
    // Weak: the set holds this database, and the set's lifetime is its holders' business.
    std::weak_ptr<_LineData> m_contactsData;
    MessagePaging m_paging;
};
