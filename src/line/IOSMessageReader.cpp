#include "line/IOSMessageReader.h"

#include "app/Decomposition.h"
#include "app/FileNames.h"
#include "line/EmojiText.h"
#include "line/IOSContentMetadata.h"
#include "line/IOSLineDb.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineThumbnails.h"
#include "line/MessageType.h"

#include <QFileInfo>

namespace {

// A name that can stand as one path component as it is: LINE's ids are digits and hex, so anything
// with a separator or a dot-only name comes from a damaged or forged store and gets no path at all.
bool isPlainComponent(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool isFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

IOSMessageReader::IOSMessageReader(IOSLineDb& db, QString rootFolder, QString accountPrefix,
                                   QString thumbnailFolder, bool hasStickerPackages, bool hasThumbnailColumn)
    : m_db(db), m_rootFolder(std::move(rootFolder)), m_accountPrefix(std::move(accountPrefix)),
      m_thumbnailFolder(std::move(thumbnailFolder)), m_hasStickerPackages(hasStickerPackages),
      m_hasThumbnailColumn(hasThumbnailColumn)
{
}

const QStringList& IOSMessageReader::pageColumns()
{
    static const QStringList columns = {
        QStringLiteral("Z_PK"),         QStringLiteral("ZID"),
        QStringLiteral("ZCONTENTTYPE"), QStringLiteral("ZTIMESTAMP"),
        QStringLiteral("ZCHAT"),        QStringLiteral("ZSENDER"),
        QStringLiteral("ZTEXT"),        QStringLiteral("ZLATITUDE"),
        QStringLiteral("ZLONGITUDE"),   QStringLiteral("ZCONTENTMETADATA"),
    };
    return columns;
}

IOSMessageReader::Columns IOSMessageReader::Columns::of(const Sqlite3Cursor& cursor)
{
    Columns columns;
    columns.pk = cursor.columnIndexOf(QStringLiteral("Z_PK"));
    columns.id = cursor.columnIndexOf(QStringLiteral("ZID"));
    columns.contentType = cursor.columnIndexOf(QStringLiteral("ZCONTENTTYPE"));
    columns.timestamp = cursor.columnIndexOf(QStringLiteral("ZTIMESTAMP"));
    columns.chat = cursor.columnIndexOf(QStringLiteral("ZCHAT"));
    columns.sender = cursor.columnIndexOf(QStringLiteral("ZSENDER"));
    columns.text = cursor.columnIndexOf(QStringLiteral("ZTEXT"));
    columns.latitude = cursor.columnIndexOf(QStringLiteral("ZLATITUDE"));
    columns.longitude = cursor.columnIndexOf(QStringLiteral("ZLONGITUDE"));
    columns.metadata = cursor.columnIndexOf(QStringLiteral("ZCONTENTMETADATA"));
    return columns;
}

QString IOSMessageReader::firstExisting(const ChatFolders& folders, const QString& base,
                                        std::initializer_list<const char*> suffixes)
{
    if (!folders.attachmentsExist)
        return {};
    for (const char* suffix : suffixes) {
        const QString path = base + QLatin1String(suffix);
        if (isFile(path))
            return path;
    }
    return {};
}

const IOSMessageReader::ChatFolders& IOSMessageReader::chatFolders(const QString& chatUid)
{
    const auto known = m_chatFolders.constFind(chatUid);
    if (known != m_chatFolders.cend())
        return known.value();
    if (m_chatFolders.size() >= MaxRememberedFolders)
        m_chatFolders.clear();
    const QString key = fileNameSafe(chatUid);
    const QString account = m_rootFolder + QLatin1Char('/') + m_accountPrefix;
    ChatFolders folders;
    folders.attachments = account + QStringLiteral("Message Attachments/") + chatUid;
    folders.lines = account + QStringLiteral("Message Thumbnails/") + key;
    folders.made = m_thumbnailFolder + QLatin1Char('/') + key;
    folders.attachmentsExist = QFileInfo(folders.attachments).isDir();
    folders.linesExist = QFileInfo(folders.lines).isDir();
    return *m_chatFolders.insert(chatUid, folders);
}

_LineMsg IOSMessageReader::read(const Sqlite3Cursor& row, const Columns& columns, const _LineData* data)
{
    _LineMsg message;
    message.id = row.int64At(columns.pk);
    message.uid = row.textAt(columns.id);
    const int type = MessageType::fromIosContentType(int(row.int64At(columns.contentType)));
    message.type = type < 0 ? MessageType::Text : type;
    message.time = QDateTime::fromMSecsSinceEpoch(row.int64At(columns.timestamp));
    if (data) {
        message.chat = data->chat(row.int64At(columns.chat));
        if (!row.isNullAt(columns.sender))
            message.sender = data->user(row.int64At(columns.sender));
    }
    if (message.type == MessageType::Text) {
        message.content = row.textBytesAt(columns.text);
        message.text = EmojiText::decodeEmojiText(message.content);
        return message;
    }

    // Media paths are made only for the types that have media: most rows are text. Ids that could not
    // be one path component (LINE's are digits and hex) come from a damaged or forged store: no path.
    const QString chatUid = message.chat ? message.chat->uid : QString();
    const bool plainIds = isPlainComponent(chatUid) && isPlainComponent(message.uid);
    static const ChatFolders none;
    const ChatFolders& folders = plainIds ? chatFolders(chatUid) : none;
    const QString base = plainIds ? folders.attachments + QLatin1Char('/') + message.uid : QString();

    switch (message.type) {
    case MessageType::Photo:
        if (plainIds)
            message.filePath = base + QStringLiteral(".jpg");
        message.setWidth(int(row.int64At(columns.latitude)));
        message.setHeight(int(row.int64At(columns.longitude)));
        if (plainIds)
            readThumbnail(message, folders);
        break;
    case MessageType::Video:
        if (plainIds)
            message.filePath = firstExisting(folders, base, {".mp4", ".mov"});
        message.setWidth(int(row.int64At(columns.latitude)));
        message.setHeight(int(row.int64At(columns.longitude)));
        if (plainIds)
            readThumbnail(message, folders);
        break;
    case MessageType::Voice:
        if (plainIds)
            message.filePath = firstExisting(folders, base, {".mp4", ".aac", ".m4a"});
        message.setSize(row.int64At(columns.latitude));
        break;
    case MessageType::Sticker:
        readSticker(message, row, columns);
        break;
    case MessageType::Contact: {
        const QHash<QString, QString> metadata = IOSContentMetadata::read(row.blobAt(columns.metadata));
        message.setContact(
            metadata.value(QStringLiteral("mid")),
            IOSContentMetadata::contactNameFromStored(metadata.value(QStringLiteral("displayName"))));
        break;
    }
    case MessageType::File: {
        const QHash<QString, QString> metadata = IOSContentMetadata::read(row.blobAt(columns.metadata));
        const QString name = metadata.value(QStringLiteral("FILE_NAME"));
        message.setFileName(name);
        if (plainIds) {
            message.filePath = base + QLatin1Char('_') + fileNameSafe(toDecomposed(name));
            if (!folders.attachmentsExist || !isFile(message.filePath))
                message.filePath = base + QLatin1Char('_') + windowsValidName(name);
        }
        break;
    }
    case MessageType::Location:
        message.setLocation(
            {row.doubleAt(columns.latitude), row.doubleAt(columns.longitude), row.textAt(columns.text)});
        break;
    default:
        break;
    }
    return message;
}

QByteArray IOSMessageReader::thumbnailBlob(qint64 messagePk)
{
    if (!m_hasThumbnailColumn)
        return {};
    return m_db.messageThumbnail(messagePk);
}

void IOSMessageReader::readThumbnail(_LineMsg& message, const ChatFolders& folders)
{
    const bool photo = message.type == MessageType::Photo;
    const QString name = fileNameSafe(message.uid);
    const QString made = folders.made + QLatin1Char('/') + name + QStringLiteral(".thumb.jpg");
    const QString lines = folders.lines + QLatin1Char('/') + name + QStringLiteral(".thumb");
    message.thumbPath = made;
    // A photo's thumbnail in the program's folder was checked to be a picture when it was written, so a
    // file there is taken as it is: walking a history then costs a look-up per photo, not a read.
    const QFileInfo madeFile(made);
    const bool madeExists = madeFile.isFile() && madeFile.size() > 0;
    if (folders.linesExist && isFile(lines)) {
        if (!photo || LineThumbnails::looksLikeImage(lines))
            message.thumbPath = lines;
        else if (!madeExists)
            makeFromPhoto(message, made); // LINE's own unusable thumbnail stays untouched
        return;
    }
    if (madeExists)
        return;
    // The blob is read only now, when a thumbnail is to be made: pages of messages leave it out.
    const QByteArray blob = thumbnailBlob(message.id);
    if (!blob.isEmpty() && (!photo || LineThumbnails::looksLikeImageData(blob))) {
        LineThumbnails::writeFile(made, blob);
        return;
    }
    if (photo)
        makeFromPhoto(message, made);
}

void IOSMessageReader::makeFromPhoto(const _LineMsg& message, const QString& made)
{
    if (!message.filePath.isEmpty())
        LineThumbnails::makeFromPicture(message.filePath, made, ThumbnailSide);
}

void IOSMessageReader::readSticker(_LineMsg& message, const Sqlite3Cursor& row, const Columns& columns)
{
    // Sticker metadata repeats (one blob per sticker picture): parse each blob once.
    const QByteArray blob = row.blobAt(columns.metadata);
    const auto known = m_stickerMetadata.constFind(blob);
    if (known != m_stickerMetadata.cend() && known->id >= 1) {
        message.setSticker(known.value());
        return;
    }
    const QHash<QString, QString> metadata = IOSContentMetadata::read(blob);
    _LineSticker sticker;
    sticker.id = metadata.value(QStringLiteral("STKID")).toInt();
    sticker.version = metadata.value(QStringLiteral("STKVER")).toInt();
    sticker.package = metadata.value(QStringLiteral("STKPKGID")).toInt();
    if (sticker.id >= 1) {
        if (m_stickerMetadata.size() >= MaxRememberedStickers)
            m_stickerMetadata.clear();
        m_stickerMetadata.insert(blob, sticker);
    } else {
        sticker = stickerPackage(int(row.int64At(columns.longitude)));
    }
    message.setSticker(sticker);
}

_LineSticker IOSMessageReader::stickerPackage(int stickerId)
{
    const auto cached = m_stickers.constFind(stickerId);
    if (cached != m_stickers.cend())
        return cached.value();
    if (!m_hasStickerPackages)
        return {stickerId, 0, 0};
    ++m_stickerQueries;
    const std::optional<_LineSticker> sticker = m_db.findStickerPackage(stickerId);
    if (!sticker)
        return {stickerId, 0, 0};
    m_stickers.insert(stickerId, *sticker);
    return *sticker;
}
