#include "ui/WindowOnlineActions.h"

#include "app/TextUtils.h"
#include "app/VendorConfig.h"
#include "online/UpdateCheck.h"
#include "platform/AppDataDir.h"
#include "platform/Shell.h"
#include "ui/MessageBoxes.h"

WindowOnlineActions::WindowOnlineActions(VendorEndpoint endpoint) : m_endpoint(std::move(endpoint))
{
}

QUrl WindowOnlineActions::updatePage() const
{
    return UpdateCheck(appDataDir(), m_endpoint).manualUpdatePage();
}

QUrl WindowOnlineActions::helpPage() const
{
    return m_endpoint.url(QStringLiteral("/help.html"));
}

QUrl WindowOnlineActions::feedbackAddress() const
{
    if (m_endpoint.isConfigured())
        return m_endpoint.url(QStringLiteral("/support.html"));
    const QString email = VendorConfig::supportEmail();
    if (email.isEmpty())
        return {};
    return QUrl(QStringLiteral("mailto:") + email);
}

void WindowOnlineActions::checkForUpdate(QWidget* parent) const
{
    open(updatePage(),
         tr("This copy of the program has no update service configured, so it cannot look for a newer "
            "version. Nothing was sent."),
         parent);
}

void WindowOnlineActions::help(QWidget* parent) const
{
    open(helpPage(), tr("This copy of the program has no help pages configured. Nothing was sent."), parent);
}

void WindowOnlineActions::feedback(QWidget* parent) const
{
    open(feedbackAddress(),
         tr("This copy of the program has no support address configured. Nothing was sent."), parent);
}

void WindowOnlineActions::open(const QUrl& address, const QString& unavailable, QWidget* parent) const
{
    if (!address.isValid() || address.isEmpty()) {
        showTips(htmlEscape(unavailable), parent);
        return;
    }
    openWithShell(address.toString());
}
