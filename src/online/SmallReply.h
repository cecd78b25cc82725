#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>

class QNetworkAccessManager;
class QNetworkRequest;

// Sends one GET or POST through the network manager and hands its answer to done(status, body) on the
// manager's thread; a transport failure gives status 0. Answers larger than maxBytes are cut off and
// count as failures, so a misbehaving server cannot fill the memory. Redirects are not followed.
void sendSmallRequest(QNetworkAccessManager& manager, QNetworkRequest request, const QByteArray& postBody,
                      qint64 maxBytes, std::function<void(int status, const QByteArray& body)> done);
