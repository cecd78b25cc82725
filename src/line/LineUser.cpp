#include "line/LineUser.h"

QString _LineUser::displayName() const
{
    if (!addressBookName.isEmpty())
        return addressBookName;
    if (!customName.isEmpty())
        return customName;
    if (!name.isEmpty())
        return name;
    return tr("Unknown");
}
