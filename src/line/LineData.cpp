#include "line/LineData.h"

#include "line/AbsLineDb.h"

#include <algorithm>

namespace {

template <typename Record>
Record* file(QHash<qint64, Record*>& lookup, std::vector<std::unique_ptr<Record>>& owned,
             std::unique_ptr<Record> record)
{
    if (!record)
        return nullptr;
    Record* pointer = record.get();
    owned.push_back(std::move(record));
    lookup.insert(pointer->id, pointer);
    return pointer;
}

template <typename Record>
QList<Record*> sortedById(const QHash<qint64, Record*>& lookup)
{
    QList<Record*> records = lookup.values();
    std::sort(records.begin(), records.end(), [](const Record* a, const Record* b) { return a->id < b->id; });
    return records;
}

} // namespace

_LineData::_LineData(std::shared_ptr<AbsLineDb> db, int pageSize)
    : m_pageSize(pageSize > 0 ? pageSize : DefaultPageSize), m_db(std::move(db))
{
}

// Out of line: the owned records and the database are complete types here.
_LineData::~_LineData() = default;

_LineChat* _LineData::insertChat(std::unique_ptr<_LineChat> chat)
{
    return file(m_chats, m_ownedChats, std::move(chat));
}

_LineUser* _LineData::insertUser(std::unique_ptr<_LineUser> user)
{
    return file(m_users, m_ownedUsers, std::move(user));
}

_LineGroup* _LineData::insertGroup(std::unique_ptr<_LineGroup> group)
{
    return file(m_groups, m_ownedGroups, std::move(group));
}

QList<_LineChat*> _LineData::chatsById() const
{
    return sortedById(m_chats);
}

QList<_LineUser*> _LineData::usersById() const
{
    return sortedById(m_users);
}

QList<_LineGroup*> _LineData::groupsById() const
{
    return sortedById(m_groups);
}

bool _LineData::cacheHolds(const _LineChat* chat, qint64 page, bool ascending) const
{
    return m_cachedPage > 0 && m_cachedChat == chat && m_cachedPage == page && m_cachedAscending == ascending;
}

void _LineData::setCachedPage(_LineChat* chat, qint64 page, bool ascending, QList<_LineMsg> messages)
{
    m_cachedChat = chat;
    m_cachedPage = page;
    m_cachedAscending = ascending;
    m_cachedMessages = std::move(messages);
}

void _LineData::clearCachedPage()
{
    m_cachedChat = nullptr;
    m_cachedPage = 0;
    m_cachedAscending = true;
    m_cachedMessages.clear();
}
