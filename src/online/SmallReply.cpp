#include "online/SmallReply.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

namespace {
constexpr int kTransferTimeoutMs = 30000;
}

void sendSmallRequest(QNetworkAccessManager& manager, QNetworkRequest request, const QByteArray& postBody,
                      qint64 maxBytes, std::function<void(int status, const QByteArray& body)> done)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply* reply = postBody.isNull() ? manager.get(request) : manager.post(request, postBody);
    auto tooLarge = std::make_shared<bool>(false);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, maxBytes, tooLarge](qint64 received, qint64) {
                         if (received > maxBytes && !*tooLarge) {
                             *tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, tooLarge, done = std::move(done)] {
        reply->deleteLater();
        const int status = *tooLarge ? 0 : reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray body =
            status != 0 && reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
        if (done)
            done(status, body);
    });
}
