#include "line/IOSMessageReader.h"

#include "app/Decomposition.h"
#include "app/FileNames.h"
#include "line/EmojiText.h"
#include "line/IOSContentMetadata.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineThumbnails.h"
#include "line/MessageType.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
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

QString firstExisting(const QString& base, std::initializer_list<const char*> suffixes)
{
    for (const char* suffix : suffixes) {
        const QString path = base + QLatin1String(suffix);
        if (isFile(path))
            return path;
    }
    return {};
}

} // namespace

IOSMessageReader::IOSMessageReader(Sqlite3DB& db, QString rootFolder, QString accountPrefix,
                                   QString thumbnailFolder, bool hasStickerPackages)
    : m_db(db), m_rootFolder(std::move(rootFolder)), m_accountPrefix(std::move(accountPrefix)),
      m_thumbnailFolder(std::move(thumbnailFolder)), m_hasStickerPackages(hasStickerPackages)
{
}

QString IOSMessageReader::attachmentBase(const QString& chatUid, const QString& messageUid) const
{
    if (!isPlainComponent(chatUid) || !isPlainComponent(messageUid))
        return {};
    return QDir(m_rootFolder)
        .filePath(m_accountPrefix + QStringLiteral("Message Attachments/") + chatUid + QLatin1Char('/') +
                  messageUid);
}

_LineMsg IOSMessageReader::read(const Sqlite3Cursor& row, const _LineData* data)
{
    _LineMsg message;
    message.id = row.getInt64(QStringLiteral("Z_PK"));
    message.uid = row.getText(QStringLiteral("ZID"));
    const int type = MessageType::fromIosContentType(row.getInt(QStringLiteral("ZCONTENTTYPE")));
    message.type = type < 0 ? MessageType::Text : type;
    message.time = QDateTime::fromMSecsSinceEpoch(row.getInt64(QStringLiteral("ZTIMESTAMP")));
    if (data) {
        message.chat = data->chat(row.getInt64(QStringLiteral("ZCHAT")));
        if (!row.isNull(QStringLiteral("ZSENDER")))
            message.sender = data->user(row.getInt64(QStringLiteral("ZSENDER")));
    }
    const QString chatUid = message.chat ? message.chat->uid : QString();
    const QString key = fileNameSafe(chatUid) + QLatin1Char('/') + fileNameSafe(message.uid);
    const QString base = attachmentBase(chatUid, message.uid);

    switch (message.type) {
    case MessageType::Text:
        message.content = row.getTextBytes(QStringLiteral("ZTEXT"));
        message.text = EmojiText::decodeEmojiText(message.content);
        break;
    case MessageType::Photo:
        if (!base.isEmpty())
            message.filePath = base + QStringLiteral(".jpg");
        message.setWidth(row.getInt(QStringLiteral("ZLATITUDE")));
        message.setHeight(row.getInt(QStringLiteral("ZLONGITUDE")));
        readThumbnail(message, key, row.getBlob(QStringLiteral("ZTHUMBNAIL")));
        break;
    case MessageType::Video:
        if (!base.isEmpty())
            message.filePath = firstExisting(base, {".mp4", ".mov"});
        message.setWidth(row.getInt(QStringLiteral("ZLATITUDE")));
        message.setHeight(row.getInt(QStringLiteral("ZLONGITUDE")));
        readThumbnail(message, key, row.getBlob(QStringLiteral("ZTHUMBNAIL")));
        break;
    case MessageType::Voice:
        if (!base.isEmpty())
            message.filePath = firstExisting(base, {".mp4", ".aac", ".m4a"});
        message.setSize(row.getInt64(QStringLiteral("ZLATITUDE")));
        break;
    case MessageType::Sticker:
        readSticker(message, row);
        break;
    case MessageType::Contact: {
        const QHash<QString, QString> metadata =
            IOSContentMetadata::read(row.getBlob(QStringLiteral("ZCONTENTMETADATA")));
        message.setContact(metadata.value(QStringLiteral("mid")),
                           metadata.value(QStringLiteral("displayName")));
        break;
    }
    case MessageType::File: {
        const QHash<QString, QString> metadata =
            IOSContentMetadata::read(row.getBlob(QStringLiteral("ZCONTENTMETADATA")));
        const QString name = metadata.value(QStringLiteral("FILE_NAME"));
        message.setFileName(name);
        if (!base.isEmpty()) {
            message.filePath = base + QLatin1Char('_') + fileNameSafe(toDecomposed(name));
            if (!isFile(message.filePath))
                message.filePath = base + QLatin1Char('_') + windowsValidName(name);
        }
        break;
    }
    case MessageType::Location:
        message.setLocation({row.getDouble(QStringLiteral("ZLATITUDE")),
                             row.getDouble(QStringLiteral("ZLONGITUDE")),
                             row.getText(QStringLiteral("ZTEXT"))});
        break;
    default:
        break;
    }
    return message;
}

void IOSMessageReader::readThumbnail(_LineMsg& message, const QString& key, const QByteArray& blob)
{
    if (!isPlainComponent(message.chat ? message.chat->uid : QString()) || !isPlainComponent(message.uid))
        return;
    const QString made = QDir(m_thumbnailFolder).filePath(key + QStringLiteral(".thumb.jpg"));
    const QString lines = QDir(m_rootFolder)
                              .filePath(m_accountPrefix + QStringLiteral("Message Thumbnails/") + key +
                                        QStringLiteral(".thumb"));
    message.thumbPath = made;
    if (isFile(lines)) {
        message.thumbPath = lines;
    } else {
        const QFileInfo madeFile(made);
        // An empty blob would only make an empty file.
        if ((!madeFile.isFile() || madeFile.size() == 0) && !blob.isEmpty())
            LineThumbnails::writeFile(made, blob);
    }
    if (message.type != MessageType::Photo || LineThumbnails::looksLikeImage(message.thumbPath))
        return;
    // LINE's own thumbnail, if it was the unusable one, stays untouched: the scaled picture goes to the
    // program's thumbnail folder.
    if (!message.filePath.isEmpty() && LineThumbnails::makeFromPicture(message.filePath, made, ThumbnailSide))
        message.thumbPath = made;
}

void IOSMessageReader::readSticker(_LineMsg& message, const Sqlite3Cursor& row)
{
    const QHash<QString, QString> metadata =
        IOSContentMetadata::read(row.getBlob(QStringLiteral("ZCONTENTMETADATA")));
    _LineSticker sticker;
    sticker.id = metadata.value(QStringLiteral("STKID")).toInt();
    sticker.version = metadata.value(QStringLiteral("STKVER")).toInt();
    sticker.package = metadata.value(QStringLiteral("STKPKGID")).toInt();
    if (sticker.id < 1)
        sticker = stickerPackage(row.getInt(QStringLiteral("ZLONGITUDE")));
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
    Sqlite3Cursor cursor = m_db.queryThrow(
        QStringLiteral(
            "select * from ZSTICKERPACKAGE where %1 between ZSTICKERIDSTART and ZSTICKERIDEND limit 1")
            .arg(stickerId));
    if (!cursor.moveNext())
        return {stickerId, 0, 0};
    const _LineSticker sticker{stickerId, cursor.getInt(QStringLiteral("ZPACKAGEID")),
                               cursor.getInt(QStringLiteral("ZVERSION"))};
    m_stickers.insert(stickerId, sticker);
    return sticker;
}
