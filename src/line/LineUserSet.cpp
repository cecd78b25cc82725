#include "line/LineUserSet.h"

bool LineUserSet::insert(_LineUser* user)
{
    if (!user || m_index.contains(user))
        return false;
    m_index.insert(user);
    m_users.append(user);
    return true;
}

bool LineUserSet::remove(_LineUser* user)
{
    if (!m_index.remove(user))
        return false;
    m_users.removeOne(user);
    return true;
}

void LineUserSet::clear()
{
    m_users.clear();
    m_index.clear();
}
