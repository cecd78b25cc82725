#pragma once

#include <QString>

// Addresses of the image services a message can point to: LINE's sticker images, a static map image
// service and an emoji image service. The servers are process-wide settings; the sticker and map servers
// have public defaults, the emoji server has none (empty), so emoji show as characters. An empty server
// means "no such service": the address functions then return an empty text. The program or a test may
// change them at any time (reads and writes are locked, so jobs may build addresses meanwhile).
class LineImageUrls
{
public:
    static QString defaultStickerServer(); // "http://dl.stickershop.line.naver.jp"
    static QString defaultMapServer();     // "http://maps.googleapis.com"
    static QString defaultEmojiServer();   // empty: there is no public service for LINE's emoji images

    // Scheme and host (optionally a port or a path prefix), without a trailing "/".
    static QString stickerServer();
    static void setStickerServer(const QString& baseUrl);
    static QString mapServer();
    static void setMapServer(const QString& baseUrl);
    static QString emojiServer();
    static void setEmojiServer(const QString& baseUrl);
    static void resetServers();

    // server + "/products/0/0/<version>/<package>/android/stickers/<id>.png"; empty without a server.
    static QString stickerImage(int stickerId, int packageId, int version);
    // The same on the given server instead of the process-wide one.
    static QString stickerImageOn(const QString& server, int stickerId, int packageId, int version);
    // server +
    // "/maps/api/staticmap?zoom=16&size=600x389&scale=<scale>&maptype=roadmap&sensor=true&center=lat,lng"
    // with six decimals; "<scale>" stays in the text for the caller to fill in. Empty without a server.
    static QString staticMapImage(double latitude, double longitude);
    static QString staticMapImageOn(const QString& server, double latitude, double longitude);
    // server + "/app_res/emoji/<code>.png" (code: upper-case hexadecimal code point); empty without a
    // server.
    static QString emojiImage(const QString& code);
};
