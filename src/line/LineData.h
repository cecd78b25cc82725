#pragma once

#include "line/LineChat.h"
#include "line/LineGroup.h"
#include "line/LineMsg.h"
#include "line/LineUser.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <memory>
#include <vector>

class AbsLineDb;

// The data set of one opened database: its users, chats and groups (owned here, keyed by id), the
// database itself, and one cached page of messages shared by every message source over the database.
// Messages point into this set, so it must outlive every message read with it. Not locked: one thread
// at a time.
class _LineData
{
public:
    static constexpr int DefaultPageSize = 5000;

    explicit _LineData(std::shared_ptr<AbsLineDb> db, int pageSize = DefaultPageSize);
    ~_LineData();
    _LineData(const _LineData&) = delete;
    _LineData& operator=(const _LineData&) = delete;

    const std::shared_ptr<AbsLineDb>& db() const { return m_db; }
    int pageSize() const { return m_pageSize; }

    // Lookups by id; null when absent.
    _LineChat* chat(qint64 id) const { return m_chats.value(id); }
    _LineUser* user(qint64 id) const { return m_users.value(id); }
    _LineGroup* group(qint64 id) const { return m_groups.value(id); }

    // Take ownership and file the record under its id; returns it. A record already filed under the id is
    // replaced in the lookup but kept alive with the set, because other records and messages may still
    // point at it. A null record is ignored (returns null).
    _LineChat* insertChat(std::unique_ptr<_LineChat> chat);
    _LineUser* insertUser(std::unique_ptr<_LineUser> user);
    _LineGroup* insertGroup(std::unique_ptr<_LineGroup> group);

    const QHash<qint64, _LineChat*>& chats() const { return m_chats; }
    const QHash<qint64, _LineUser*>& users() const { return m_users; }
    const QHash<qint64, _LineGroup*>& groups() const { return m_groups; }
    // The same records in ascending id order, for listings that should not change between runs.
    QList<_LineChat*> chatsById() const;
    QList<_LineUser*> usersById() const;
    QList<_LineGroup*> groupsById() const;

    // The one-page message cache: which chat (null = all chats), page (from 1) and order it holds.
    bool cacheHolds(const _LineChat* chat, qint64 page, bool ascending) const;
    void setCachedPage(_LineChat* chat, qint64 page, bool ascending, QList<_LineMsg> messages);
    void clearCachedPage();
    _LineChat* cachedChat() const { return m_cachedChat; }
    qint64 cachedPageNumber() const { return m_cachedPage; }
    bool cachedAscending() const { return m_cachedAscending; }
    const QList<_LineMsg>& cachedMessages() const { return m_cachedMessages; }
    // Held by a source while it reads or fills the page cache and the database: the window's message
    // list and a job's thread may read one data set at the same time.
    QMutex& pageCacheMutex() const { return m_pageCacheMutex; }

private:
    QHash<qint64, _LineChat*> m_chats;
    QHash<qint64, _LineUser*> m_users;
    QHash<qint64, _LineGroup*> m_groups;
    int m_pageSize;
    std::shared_ptr<AbsLineDb> m_db;

    _LineChat* m_cachedChat = nullptr;
    qint64 m_cachedPage = 0;
    QList<_LineMsg> m_cachedMessages;
    bool m_cachedAscending = true;
    mutable QMutex m_pageCacheMutex;

    std::vector<std::unique_ptr<_LineChat>> m_ownedChats;
    std::vector<std::unique_ptr<_LineUser>> m_ownedUsers;
    std::vector<std::unique_ptr<_LineGroup>> m_ownedGroups;
};

using PLineData = std::shared_ptr<_LineData>;
