#pragma once

#include "line/LineSticker.h"

#include <QString>

// The sticker images LINE keeps in its app data for the stickers it has shown, so that an export can show
// a sticker without asking LINE's servers: "<account folder>/Sticker Resources/<package id>/<sticker
// id>.png" in a mirrored app folder, the account folder being where "Message Attachments" lies. A store
// without such images (a local message database, an app that never kept them) has none: imagePath()
// then answers empty.
class LineStickerFiles
{
public:
    static const QString FolderName; // "Sticker Resources"

    // No images.
    LineStickerFiles() = default;
    // The images below folder (the "Sticker Resources" folder itself).
    explicit LineStickerFiles(const QString& folder) : m_folder(folder) {}
    // The images of an app folder whose account folder is appRoot/accountPrefix.
    static LineStickerFiles inAppFolder(const QString& appRoot, const QString& accountPrefix);

    bool isEmpty() const { return m_folder.isEmpty(); }
    // The image file of a sticker; empty when there is none (or the sticker has no package).
    QString imagePath(const _LineSticker& sticker) const;

private:
    QString m_folder;
};
