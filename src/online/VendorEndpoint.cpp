#include "online/VendorEndpoint.h"

#include "app/VendorConfig.h"

VendorEndpoint VendorEndpoint::configured()
{
    return VendorEndpoint(VendorConfig::serviceHost());
}

VendorEndpoint::VendorEndpoint(const QString& host)
{
    const QString trimmed = host.trimmed();
    if (trimmed.isEmpty())
        return;
    const bool hasScheme = trimmed.contains(QLatin1String("://"));
    QUrl base(hasScheme ? trimmed : QStringLiteral("https://") + trimmed, QUrl::StrictMode);
    const QString scheme = base.scheme().toLower();
    if (!base.isValid() || base.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")) || !base.userInfo().isEmpty() ||
        (!base.path().isEmpty() && base.path() != QLatin1String("/")) || base.hasQuery() ||
        base.hasFragment()) {
        qWarning("online: the vendor host \"%s\" is not usable; no request is made", qUtf8Printable(trimmed));
        return;
    }
    base.setPath(QString());
    m_base = base;
}

QUrl VendorEndpoint::url(const QString& path, const QString& query) const
{
    if (!isConfigured())
        return {};
    QUrl url = m_base;
    url.setPath(path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

bool VendorEndpoint::isSafeAddressToOpen(const QUrl& address) const
{
    return isConfigured() && address.isValid() && address.scheme() == QLatin1String("https") &&
           address.userInfo().isEmpty() && address.host().compare(m_base.host(), Qt::CaseInsensitive) == 0;
}
