#include "app/VendorConfig.h"

namespace VendorConfig {

QString serviceHost()
{
    return QStringLiteral(FERROWYN_VENDOR_HOST).trimmed();
}

QString supportEmail()
{
    return QStringLiteral(FERROWYN_SUPPORT_EMAIL).trimmed();
}

QString homePage()
{
    return QStringLiteral(FERROWYN_HOME_PAGE).trimmed();
}

} // namespace VendorConfig
