#pragma once

#include "online/VendorEndpoint.h"

#include <QDir>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;

// The update check: automatic at start (at most once a day) and the manual one, which opens the vendor's
// update page. The service answers the automatic check with a download address when this version is
// obsolete; only an https address on the service's own host is believed (anything else is ignored and
// the program goes on). Without a configured service nothing is sent.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    // The data folder holds "last-check-version-time", the time of the last successful check.
    explicit UpdateCheck(const QDir& dataDir, const VendorEndpoint& endpoint = VendorEndpoint::configured(),
                         QObject* parent = nullptr);
    ~UpdateCheck() override;

    // Due unless the time file holds a non-zero number of seconds since 1970 at most a day before now;
    // a clock set back before that time makes the check due too.
    static bool isDue(const QString& timeFile, qint64 nowSeconds);
    static QString timeFileName() { return QStringLiteral("last-check-version-time"); }

    // Sends the check when it is due and a service is configured; true when sent.
    bool startIfDue(qint64 nowSeconds);
    // The vendor's update page for the manual check; invalid without a service.
    QUrl manualUpdatePage() const;

    // What the window says about an obsolete version, and its button.
    static QString obsoleteText();
    static QString downloadButtonText();

signals:
    // This version is obsolete; the address is safe to open in the browser.
    void obsoleteVersion(const QUrl& download);
    // The check ended, whatever its outcome.
    void finished();

private:
    void onAnswer(int status, const QByteArray& body, qint64 nowSeconds);

    QDir m_dataDir;
    VendorEndpoint m_endpoint;
    QNetworkAccessManager* m_network;
};
