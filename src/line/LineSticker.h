#pragma once

#include "line/LineImageUrls.h"

#include <QString>

// The sticker a sticker message shows ("sticker_id", "sticker_package", "sticker_version" of its atta).
struct _LineSticker
{
    int id = 0;
    int package = 0;
    int version = 0;

    // The sticker's image on LINE's sticker server (see LineImageUrls::stickerImage).
    QString stickerImageUrl() const { return LineImageUrls::stickerImage(id, package, version); }

    bool operator==(const _LineSticker&) const = default;
};
