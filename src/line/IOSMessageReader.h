#pragma once

#include "line/LineMsg.h"
#include "line/LineSticker.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class Sqlite3Cursor;
class IOSLineDb;
class _LineData;

// Turns ZMESSAGE rows of LINE's store into messages: type, text, attachment metadata, the media files
// below the app folder, and thumbnails, which are written once into the thumbnail folder (from
// ZTHUMBNAIL, or scaled from the photo). Keeps the sticker packages it has looked up.
class IOSMessageReader
{
public:
    // Longest side of a thumbnail made from a photo.
    static constexpr int ThumbnailSide = 400;
    // Sticker metadata blobs remembered with what they hold (the memory stays small and bounded).
    static constexpr int MaxRememberedStickers = 4096;
    static constexpr int MaxRememberedFolders = 65536;

    // The ZMESSAGE columns read, looked up once per query (-1 for a column the store lacks).
    struct Columns
    {
        int pk = -1, id = -1, contentType = -1, timestamp = -1, chat = -1, sender = -1, text = -1;
        int latitude = -1, longitude = -1, metadata = -1;

        static Columns of(const Sqlite3Cursor& cursor);
    };

    // The ZMESSAGE columns a page of messages selects (ZTHUMBNAIL is read by key only when needed).
    static const QStringList& pageColumns();

    IOSMessageReader(IOSLineDb& db, QString rootFolder, QString accountPrefix, QString thumbnailFolder,
                     bool hasStickerPackages, bool hasThumbnailColumn);

    // One row of a page query over ZMESSAGE (see pageColumns); chat and sender point into data (null when
    // absent).
    _LineMsg read(const Sqlite3Cursor& row, const Columns& columns, const _LineData* data);

    // The package and version of a sticker id from ZSTICKERPACKAGE; zeros when no package holds it.
    // Found packages are kept, so the same id is not looked up twice.
    _LineSticker stickerPackage(int stickerId);
    // How many look-ups reached the database (for tests of the cache).
    int stickerQueries() const { return m_stickerQueries; }

private:
    // The media folders of one chat, with whether they exist, remembered: most chats have no media
    // folders, and a look-up per message in a missing folder costs as much as the rest of reading it.
    struct ChatFolders
    {
        QString attachments; // "Message Attachments/<chat>" below the app folder
        QString lines;       // "Message Thumbnails/<chat>" below the app folder
        QString made;        // the chat's folder among the program's thumbnails
        bool attachmentsExist = false;
        bool linesExist = false;
    };
    const ChatFolders& chatFolders(const QString& chatUid);
    void readThumbnail(_LineMsg& message, const ChatFolders& folders);
    QByteArray thumbnailBlob(qint64 messagePk);
    void makeFromPhoto(const _LineMsg& message, const QString& made);
    void readSticker(_LineMsg& message, const Sqlite3Cursor& row, const Columns& columns);
    static QString firstExisting(const ChatFolders& folders, const QString& base,
                                 std::initializer_list<const char*> suffixes);

    IOSLineDb& m_db;
    QString m_rootFolder;
    QString m_accountPrefix;
    QString m_thumbnailFolder;
    bool m_hasStickerPackages;
    bool m_hasThumbnailColumn;
    QHash<int, _LineSticker> m_stickers;
    QHash<QByteArray, _LineSticker> m_stickerMetadata;
    int m_stickerQueries = 0;
    QHash<QString, ChatFolders> m_chatFolders;
};
