#include "online/VendorQuery.h"

#include "app/AppInfo.h"

namespace VendorQuery {

QString versionNumber()
{
    return AppInfo::version.section(QLatin1Char('.'), -1);
}

QString productQuery()
{
    return QStringLiteral("pid=%1&ver=%2").arg(AppInfo::productId, versionNumber());
}

} // namespace VendorQuery
