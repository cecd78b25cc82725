#pragma once

#include "line/LineMsg.h"
#include "line/LineSticker.h"

#include <QHash>
#include <QString>

class Sqlite3Cursor;
class Sqlite3DB;
class _LineData;

// Turns ZMESSAGE rows of LINE's store into messages: type, text, attachment metadata, the media files
// below the app folder, and thumbnails, which are written once into the thumbnail folder (from
// ZTHUMBNAIL, or scaled from the photo). Keeps the sticker packages it has looked up.
class IOSMessageReader
{
public:
    // Longest side of a thumbnail made from a photo.
    static constexpr int ThumbnailSide = 400;

    IOSMessageReader(Sqlite3DB& db, QString rootFolder, QString accountPrefix, QString thumbnailFolder,
                     bool hasStickerPackages);

    // One row of "select m.* from ZMESSAGE"; chat and sender point into data (null when absent).
    _LineMsg read(const Sqlite3Cursor& row, const _LineData* data);

    // The package and version of a sticker id from ZSTICKERPACKAGE; zeros when no package holds it.
    // Found packages are kept, so the same id is not looked up twice.
    _LineSticker stickerPackage(int stickerId);
    // How many look-ups reached the database (for tests of the cache).
    int stickerQueries() const { return m_stickerQueries; }

private:
    void readThumbnail(_LineMsg& message, const QString& key, const QByteArray& blob);
    void readSticker(_LineMsg& message, const Sqlite3Cursor& row);
    QString attachmentBase(const QString& chatUid, const QString& messageUid) const;

    Sqlite3DB& m_db;
    QString m_rootFolder;
    QString m_accountPrefix;
    QString m_thumbnailFolder;
    bool m_hasStickerPackages;
    QHash<int, _LineSticker> m_stickers;
    int m_stickerQueries = 0;
};
