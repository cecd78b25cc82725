#pragma once

#include <QList>
#include <QSet>

struct _LineUser;

// The members of a chat or group: each user at most once, iterated in the order they were added, so titles
// and "first member" choices do not change from run to run. The users are not owned.
class LineUserSet
{
public:
    using const_iterator = QList<_LineUser*>::const_iterator;

    // False when the user is null or already a member.
    bool insert(_LineUser* user);
    bool remove(_LineUser* user);
    bool contains(const _LineUser* user) const { return m_index.contains(const_cast<_LineUser*>(user)); }
    qsizetype size() const { return m_users.size(); }
    bool isEmpty() const { return m_users.isEmpty(); }
    void clear();

    const QList<_LineUser*>& values() const { return m_users; }
    _LineUser* first() const { return m_users.isEmpty() ? nullptr : m_users.first(); }
    const_iterator begin() const { return m_users.cbegin(); }
    const_iterator end() const { return m_users.cend(); }

private:
    QList<_LineUser*> m_users;
    QSet<_LineUser*> m_index;
};
