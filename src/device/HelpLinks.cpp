#include "device/HelpLinks.h"

#include "app/VendorConfig.h"

namespace HelpLinks {
namespace {

QString page(const QString& path)
{
    const QString host = VendorConfig::serviceHost();
    return host.isEmpty() ? QString() : QStringLiteral("https://%1%2").arg(host, path);
}

} // namespace

QString findMyIPhone()
{
    return page(QStringLiteral("/guides/how-to-disable-find-my-iphone.html"));
}

QString resetLockdown()
{
    return page(QStringLiteral("/guides/reset-lockdown-in-itunes.php"));
}

QString transferTutorial()
{
    return page(QStringLiteral("/transfer-messages-from-to-iphone-with-itunes.html"));
}

} // namespace HelpLinks
