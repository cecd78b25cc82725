#include "line/LineChat.h"

#include "line/LineGroup.h"
#include "line/LineUser.h"

#include <QStringList>

QString _LineChat::chatTitle(bool withMembers) const
{
    if (type == Group && group)
        return group->groupTitle(withMembers);
    QStringList names;
    names.reserve(members.size());
    for (const _LineUser* user : members)
        names.append(user->displayName());
    return names.join(QLatin1Char(','));
}

QString _LineChat::typeWord(int type)
{
    switch (type) {
    case Multi:
        return QStringLiteral("multi");
    case Group:
        return QStringLiteral("group");
    default:
        return QStringLiteral("single");
    }
}

int _LineChat::typeFromWord(const QString& word)
{
    if (word.compare(QLatin1String("multi"), Qt::CaseInsensitive) == 0)
        return Multi;
    if (word.compare(QLatin1String("group"), Qt::CaseInsensitive) == 0)
        return Group;
    return Single;
}
