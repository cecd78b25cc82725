#include "line/LineImageUrls.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

struct Servers
{
    QMutex mutex;
    QString sticker = LineImageUrls::defaultStickerServer();
    QString map = LineImageUrls::defaultMapServer();
    QString emoji = LineImageUrls::defaultEmojiServer();
};

Servers& servers()
{
    static Servers instance;
    return instance;
}

QString withoutTrailingSlash(QString url)
{
    url = url.trimmed();
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

} // namespace

QString LineImageUrls::defaultStickerServer()
{
    return QStringLiteral("http://dl.stickershop.line.naver.jp");
}

QString LineImageUrls::defaultMapServer()
{
    return QStringLiteral("http://maps.googleapis.com");
}

QString LineImageUrls::defaultEmojiServer()
{
    return QString();
}

QString LineImageUrls::stickerServer()
{
    QMutexLocker lock(&servers().mutex);
    return servers().sticker;
}

void LineImageUrls::setStickerServer(const QString& baseUrl)
{
    const QString url = withoutTrailingSlash(baseUrl);
    QMutexLocker lock(&servers().mutex);
    servers().sticker = url;
}

QString LineImageUrls::mapServer()
{
    QMutexLocker lock(&servers().mutex);
    return servers().map;
}

void LineImageUrls::setMapServer(const QString& baseUrl)
{
    const QString url = withoutTrailingSlash(baseUrl);
    QMutexLocker lock(&servers().mutex);
    servers().map = url;
}

QString LineImageUrls::emojiServer()
{
    QMutexLocker lock(&servers().mutex);
    return servers().emoji;
}

void LineImageUrls::setEmojiServer(const QString& baseUrl)
{
    const QString url = withoutTrailingSlash(baseUrl);
    QMutexLocker lock(&servers().mutex);
    servers().emoji = url;
}

void LineImageUrls::resetServers()
{
    QMutexLocker lock(&servers().mutex);
    servers().sticker = defaultStickerServer();
    servers().map = defaultMapServer();
    servers().emoji = defaultEmojiServer();
}

QString LineImageUrls::stickerImage(int stickerId, int packageId, int version)
{
    return stickerImageOn(stickerServer(), stickerId, packageId, version);
}

QString LineImageUrls::stickerImageOn(const QString& baseUrl, int stickerId, int packageId, int version)
{
    const QString server = withoutTrailingSlash(baseUrl);
    if (server.isEmpty())
        return QString();
    return server + QStringLiteral("/products/0/0/%1/%2/android/stickers/%3.png")
                        .arg(version)
                        .arg(packageId)
                        .arg(stickerId);
}

QString LineImageUrls::staticMapImage(double latitude, double longitude)
{
    return staticMapImageOn(mapServer(), latitude, longitude);
}

QString LineImageUrls::staticMapImageOn(const QString& baseUrl, double latitude, double longitude)
{
    const QString server = withoutTrailingSlash(baseUrl);
    if (server.isEmpty())
        return QString();
    return server +
           QStringLiteral("/maps/api/staticmap?zoom=16&size=600x389&scale=<scale>&maptype=roadmap&sensor=true"
                          "&center=%1,%2")
               .arg(QString::number(latitude, 'f', 6), QString::number(longitude, 'f', 6));
}

QString LineImageUrls::emojiImage(const QString& code)
{
    const QString server = emojiServer();
    if (server.isEmpty())
        return QString();
    return server + QStringLiteral("/app_res/emoji/%1.png").arg(code);
}
