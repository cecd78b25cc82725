#include "line/LineGroup.h"

#include "line/LineUser.h"

#include <QStringList>

QString _LineGroup::memberNames() const
{
    QStringList names;
    names.reserve(members.size());
    for (const _LineUser* user : members)
        names.append(user->displayName());
    return names.join(QLatin1Char(','));
}

QString _LineGroup::groupTitle(bool withMembers) const
{
    if (name.isEmpty())
        return memberNames();
    if (!withMembers)
        return tr("[GROUP] %1").arg(name);
    return tr("[GROUP] %1: ").arg(name) + memberNames();
}
