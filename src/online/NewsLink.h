#pragma once

#include "online/VendorEndpoint.h"

#include <QDir>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// The news link of the status bar. The service answers with an HTML link; the program never shows the
// service's markup as it comes: it keeps one http(s) address and the link's text, escaped, and builds
// its own link from them. The last link is kept in "last-adv" in the data folder and shown at the next
// start before any request is made.
class NewsLink : public QObject
{
    Q_OBJECT

public:
    explicit NewsLink(const QDir& dataDir, const VendorEndpoint& endpoint = VendorEndpoint::configured(),
                      QObject* parent = nullptr);
    ~NewsLink() override;

    static QString fileName() { return QStringLiteral("last-adv"); }
    // The label's rich text for an answer beginning "<a": one link in the news colour whose address is an
    // http or https address and whose text is plain text, escaped; empty for anything else.
    static QString linkHtml(const QString& answer);

    // The stored link, made safe again; empty when there is none.
    QString storedHtml() const;
    // Asks the service for the current link (nothing without a service).
    void start();

signals:
    // A new link arrived and was stored.
    void newsChanged(const QString& html);
    void finished();

private:
    void onAnswer(int status, const QByteArray& body);

    QDir m_dataDir;
    VendorEndpoint m_endpoint;
    QNetworkAccessManager* m_network;
};
