#include "export/MessageBodyRenderer.h"

#include "line/MessageType.h"

#include <QRegularExpression>

namespace {
constexpr int kPictureSize = 128;

QString pictureBody(const MessageBodyTarget::MediaLinks& media, BubbleMarkup::LinkTarget target)
{
    return QStringLiteral("<div>") +
           BubbleMarkup::imageLink(media.link, media.picture, kPictureSize, QString(), target) +
           QStringLiteral("</div>");
}

constexpr int kMapPictureSize = 240;

QString stickerBody(const _LineMsg& message, const MessageBodyTarget& messageTarget)
{
    const BubbleMarkup::LinkTarget target = messageTarget.linkTarget();
    const QString image = messageTarget.stickerImage(message);
    if (image.isEmpty())
        return QStringLiteral("<div>") + BubbleMarkup::plainText(message.displayText()) +
               QStringLiteral("</div>");
    return QStringLiteral("<div>") +
           BubbleMarkup::imageLink(image, image, kPictureSize, QStringLiteral("Sticker"), target) +
           QStringLiteral("</div>");
}

QString contactBody(const _LineMsg& message)
{
    // LINE keeps line breaks in contact names as the two characters "\n"; they read as spaces, as in the
    // one-line text.
    QString name = message.contactName();
    name.remove(QLatin1String("\\r"));
    name.replace(QLatin1String("\\n"), QLatin1String(" "));
    return BubbleMarkup::contact(name);
}

QString locationBody(const _LineMsg& message, const MessageBodyTarget& target)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r?\n\r?"));
    QString name = message.displayText();
    name.replace(lineBreak, QStringLiteral("\n"));
    const MessageBodyTarget::PlaceLinks place = target.place(message);
    if (place.coordinates) {
        const _LineLocation location = message.location();
        name += QLatin1Char('\n') + QStringLiteral("%1, %2").arg(QString::number(location.latitude, 'f', 6),
                                                                 QString::number(location.longitude, 'f', 6));
    }
    QString body = place.link.isEmpty() ? BubbleMarkup::plainText(name)
                                        : BubbleMarkup::textLink(place.link, name, BubbleMarkup::SameWindow);
    if (!place.picture.isEmpty())
        body += QStringLiteral("<br/>") +
                BubbleMarkup::imageLink(place.link.isEmpty() ? place.picture : place.link, place.picture,
                                        kMapPictureSize, QStringLiteral("Map"), BubbleMarkup::SameWindow);
    return body;
}
} // namespace

QString MessageBodyRenderer::bubble(const _LineMsg& message, const MessageBodyTarget& target)
{
    return BubbleMarkup::senderLine(message) + BubbleMarkup::bubbleStart(message) + body(message, target) +
           BubbleMarkup::bubbleEnd(message);
}

QString MessageBodyRenderer::body(const _LineMsg& message, const MessageBodyTarget& target)
{
    switch (message.type) {
    case MessageType::Photo:
        return pictureBody(target.photo(message), target.linkTarget());
    case MessageType::Video:
        return pictureBody(target.video(message), target.linkTarget());
    case MessageType::Voice:
        return BubbleMarkup::voiceNote(target.voiceIcon(), target.voiceNote(message), message.voiceLength());
    case MessageType::Sticker:
        return stickerBody(message, target);
    case MessageType::File:
        return BubbleMarkup::textLink(target.file(message), message.fileName(), target.linkTarget());
    case MessageType::Contact:
        return contactBody(message);
    case MessageType::Location:
        return locationBody(message, target);
    default:
        return BubbleMarkup::richText(message.text);
    }
}
