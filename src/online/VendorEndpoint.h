#pragma once

#include <QString>
#include <QUrl>

// Where the vendor's web service lives, from the configured host (VendorConfig::serviceHost(), the build
// option FERROWYN_VENDOR_HOST). The host may be given as "name", "name:port" or with its scheme,
// "https://name[:port]" or "http://name[:port]"; a host without a scheme is spoken to over HTTPS. An
// empty or unusable host means there is no service: nothing is ever sent.
class VendorEndpoint
{
public:
    // The program's configured service.
    static VendorEndpoint configured();
    explicit VendorEndpoint(const QString& host = QString());

    bool isConfigured() const { return m_base.isValid(); }
    // The address of a path ("/adv.php") with an optional query ("pid=..."); invalid without a service.
    QUrl url(const QString& path, const QString& query = QString()) const;
    // True for an https address on the service's host: the only kind of address the service may hand
    // the program to open.
    bool isSafeAddressToOpen(const QUrl& address) const;
    const QUrl& base() const { return m_base; }

private:
    QUrl m_base;
};
