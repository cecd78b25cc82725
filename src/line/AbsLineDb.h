#pragma once

#include "line/LineMsg.h"
#include "storage/Sqlite3DB.h"

#include <QList>
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

    // One page of messages ordered by time: at most pageSize messages from offset pageSize * (page - 1);
    // page counts from 1. The messages' chat and sender point into the data set given to loadContacts.
    //
    // Readers usually walk pages in order 1, 2, 3 ... of one chat and order. An implementation may keep
    // where the previous page ended (for keyset paging instead of a growing OFFSET) and continue from
    // there when the next page of the same chat and order is asked for; any other request must give what
    // the plain offset query gives.
    virtual QList<_LineMsg> loadMessages(const _LineChat* chat, qint64 page, int pageSize,
                                         bool ascending) = 0;

protected:
    // The part of loadContacts that reads the database into a set that is not null.
    virtual void fillContacts(_LineData& data) = 0;

    // The set given to the last loadContacts while something still holds it; null otherwise.
    std::shared_ptr<_LineData> contactsData() const { return m_contactsData.lock(); }

private:
    // Weak: the set holds this database, and the set's lifetime is its holders' business.
    std::weak_ptr<_LineData> m_contactsData;
};
