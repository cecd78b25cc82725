#include "line/LinePreferences.h"

#include "plist/PlistCFType.h"

#include <QDir>

namespace LinePreferences {

LineAccount readAccount(const QString& appRoot)
{
    const PlistCFType preferences = PlistCFType::fromFile(QDir(appRoot).filePath(RelativePath));
    LineAccount account;
    account.uid = preferences.value(QStringLiteral("mid")).getString();
    account.name = preferences.value(QStringLiteral("name")).getString();
    account.tel = preferences.value(QStringLiteral("tel")).getString();
    return account;
}

} // namespace LinePreferences
