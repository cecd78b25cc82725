#pragma once

#include "line/LineStickerFiles.h"

#include <QString>

// The choices of an export besides its format and target.
struct ExportOptions
{
    // A web page holds at most this many messages; a longer chat goes on over further pages, each
    // linking the one before and after it. 0: one page per chat whatever its length.
    static constexpr int kDefaultMessagesPerPage = 2000;
    int messagesPerPage = kDefaultMessagesPerPage;

    // Where web pages may load images from outside the export. Both empty by default: a page is then
    // self-contained and tells no server who reads it. A sticker shows the store's own image (copied
    // beside the page) or its label; a place shows its name and coordinates, linked to a map page the
    // reader may open. With stickerServer, stickers the store has no image of come from that server; with
    // mapServer, a place also shows a static map from it.
    QString stickerServer;
    QString mapServer;

    // The store's sticker images; none for a local database.
    LineStickerFiles stickerFiles;
};
