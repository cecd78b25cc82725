#include "line/LineMsg.h"

#include "line/EmojiText.h"
#include "line/LineAttaKeys.h"
#include "line/MessageType.h"

#include <algorithm>

namespace {

// Contact and place names may hold the two-character escapes "\r" and "\n" as LINE stored them.
QString withoutLiteralLineBreaks(QString text)
{
    text.remove(QStringLiteral("\\r"));
    text.replace(QStringLiteral("\\n"), QStringLiteral(" "));
    return text;
}

} // namespace

QString _LineMsg::contactUid() const
{
    return atta.value(LineAttaKeys::ContactUid).toString();
}

QString _LineMsg::contactName() const
{
    return atta.value(LineAttaKeys::ContactName).toString();
}

void _LineMsg::setContact(const QString& uid, const QString& name)
{
    atta.insert(LineAttaKeys::ContactUid, uid);
    atta.insert(LineAttaKeys::ContactName, name);
}

QString _LineMsg::fileName() const
{
    return atta.value(LineAttaKeys::FileName).toString();
}

void _LineMsg::setFileName(const QString& name)
{
    atta.insert(LineAttaKeys::FileName, name);
}

qint64 _LineMsg::size() const
{
    return atta.value(LineAttaKeys::Size).toLongLong();
}

void _LineMsg::setSize(qint64 size)
{
    atta.insert(LineAttaKeys::Size, qlonglong(size));
}

int _LineMsg::width() const
{
    return atta.value(LineAttaKeys::Width).toInt();
}

void _LineMsg::setWidth(int width)
{
    atta.insert(LineAttaKeys::Width, width);
}

int _LineMsg::height() const
{
    return atta.value(LineAttaKeys::Height).toInt();
}

void _LineMsg::setHeight(int height)
{
    atta.insert(LineAttaKeys::Height, height);
}

_LineLocation _LineMsg::location() const
{
    _LineLocation location;
    location.latitude = atta.value(LineAttaKeys::LocLat).toDouble();
    location.longitude = atta.value(LineAttaKeys::LocLng).toDouble();
    location.name = atta.value(LineAttaKeys::LocName).toString();
    return location;
}

void _LineMsg::setLocation(const _LineLocation& location)
{
    atta.insert(LineAttaKeys::LocLat, location.latitude);
    atta.insert(LineAttaKeys::LocLng, location.longitude);
    atta.insert(LineAttaKeys::LocName, location.name);
}

_LineSticker _LineMsg::sticker() const
{
    _LineSticker sticker;
    sticker.id = atta.value(LineAttaKeys::StickerId).toInt();
    sticker.package = atta.value(LineAttaKeys::StickerPackage).toInt();
    sticker.version = atta.value(LineAttaKeys::StickerVersion).toInt();
    return sticker;
}

void _LineMsg::setSticker(const _LineSticker& sticker)
{
    atta.insert(LineAttaKeys::StickerId, sticker.id);
    atta.insert(LineAttaKeys::StickerPackage, sticker.package);
    atta.insert(LineAttaKeys::StickerVersion, sticker.version);
}

QString _LineMsg::displayText() const
{
    switch (type) {
    case MessageType::Photo:
        return tr("[IMAGE]");
    case MessageType::Video:
        return tr("[VIDEO]");
    case MessageType::Voice:
        return tr("[VOICE]");
    case MessageType::Sticker:
        return tr("[STICKER-%1]").arg(sticker().id);
    case MessageType::Contact:
        return tr("Contact: %1").arg(withoutLiteralLineBreaks(contactName()));
    case MessageType::File:
        return fileName();
    case MessageType::Location: {
        QString name = atta.value(LineAttaKeys::LocName).toString().trimmed();
        if (name.isEmpty())
            name = text.trimmed();
        if (name.isEmpty())
            name = tr("Location");
        return withoutLiteralLineBreaks(name);
    }
    default:
        return EmojiText::replaceEmoji(text, [](const QString&) { return EmojiText::Marker; });
    }
}

QString _LineMsg::voiceLength() const
{
    // A negative length (a damaged row) shows as 0:00 rather than "0:-5".
    const double x = double(std::max<qint64>(0, size())) / 980.0;
    qint64 seconds = qint64(x);
    if (qint64(x * 10) % 10 > 4)
        ++seconds;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
