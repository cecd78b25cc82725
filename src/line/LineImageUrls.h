#pragma once

#include <QString>

// Addresses of the two image services a message can point to: LINE's sticker images and a static map
// image service. The servers are process-wide settings with public defaults; the program or a test may
// change them at any time (reads and writes are locked, so jobs may build addresses meanwhile).
class LineImageUrls
{
public:
    static QString defaultStickerServer(); // "http://dl.stickershop.line.naver.jp"
    static QString defaultMapServer();     // "http://maps.googleapis.com"

    // Scheme and host (optionally a port or a path prefix), without a trailing "/".
    static QString stickerServer();
    static void setStickerServer(const QString& baseUrl);
    static QString mapServer();
    static void setMapServer(const QString& baseUrl);
    static void resetServers();

    // server + "/products/0/0/<version>/<package>/android/stickers/<id>.png"
    static QString stickerImage(int stickerId, int packageId, int version);
    // server +
    // "/maps/api/staticmap?zoom=16&size=600x389&scale=<scale>&maptype=roadmap&sensor=true&center=lat,lng"
    // with six decimals; "<scale>" stays in the text for the caller to fill in.
    static QString staticMapImage(double latitude, double longitude);
};
