#include "ui/LineBubblePageBuilder.h"

#include "app/TextUtils.h"
#include "export/BubbleMarkup.h"
#include "line/MessageType.h"

#include <QFileInfo>
#include <QUrl>

namespace {
constexpr int kImageSize = 128;

QString suffixOr(const QString& fileName, const QString& fallback)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? fallback : suffix;
}

QString mediaBody(const _LineMsg& message, const QString& defaultSuffix)
{
    const QString link =
        LineBubblePageBuilder::attachmentLink(message.filePath, suffixOr(message.filePath, defaultSuffix));
    return QStringLiteral("<div>") +
           LineBubblePageBuilder::imageLink(link, message.thumbPath, kImageSize, QString()) +
           QStringLiteral("</div>");
}

QString bodyOf(const _LineMsg& message)
{
    switch (message.type) {
    case MessageType::Photo:
        return mediaBody(message, QStringLiteral("jpg"));
    case MessageType::Video:
        return mediaBody(message, QStringLiteral("mp4"));
    case MessageType::Voice: {
        const QString link = LineBubblePageBuilder::attachmentLink(
            message.filePath, suffixOr(message.filePath, QStringLiteral("aac")));
        return QStringLiteral(
                   "<img width=\"32px\" src=\"linebb/voice.png\" align=\"middle\"/><a href=\"%1\">%2</a>")
            .arg(htmlAttributeEscape(link), htmlEscape(message.voiceLength()));
    }
    case MessageType::Sticker:
        return BubbleMarkup::stickerBody(message, BubbleMarkup::SameWindow);
    case MessageType::Contact:
        return BubbleMarkup::contactBody(message);
    case MessageType::File: {
        const QString link =
            LineBubblePageBuilder::attachmentLink(message.filePath, QFileInfo(message.fileName()).suffix());
        return QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(htmlAttributeEscape(link), htmlEscape(message.fileName()));
    }
    case MessageType::Location:
        return BubbleMarkup::locationBody(message);
    default:
        return BubbleMarkup::richText(message.text);
    }
}
} // namespace

qint64 LineBubblePageBuilder::pageCount(qint64 count)
{
    return count <= 0 ? 0 : (count + PageSize - 1) / PageSize;
}

qint64 LineBubblePageBuilder::pageOfIndex(qint64 index)
{
    return index < 0 ? 0 : index / PageSize + 1;
}

QString LineBubblePageBuilder::build(AbsLineMsgsSource& source, qint64 count, qint64 page)
{
    const qint64 pages = pageCount(count);
    if (page < 1 || page > pages)
        return QString();
    QString html;
    html.reserve(64 * 1024);
    html += BubbleMarkup::documentStart();
    html +=
        QStringLiteral("\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"
                       "<title>Bubble</title>"
                       "<link href=\"linebb/style.css\" type=\"text/css\" rel=\"stylesheet\"/></head><body>"
                       "<a name=\"start\"></a>\n");
    if (page != 1) {
        html +=
            QStringLiteral("<p><a href=\"/pre_page\">%1</a></p>\n").arg(htmlEscape(tr("<<Previous Page")));
    }
    const qint64 first = (page - 1) * PageSize;
    const qint64 last = std::min<qint64>(count, first + PageSize);
    QDate previousDay;
    for (qint64 index = first; index < last; ++index) {
        const _LineMsg message = source.message(index);
        html += QStringLiteral("<a name=\"sms_%1\"></a>").arg(message.id);
        const QDate day = message.time.date();
        if (index == first || day != previousDay)
            html += BubbleMarkup::daySeparator(day);
        previousDay = day;
        html += bubble(message);
        html += QLatin1Char('\n');
    }
    if (page != pages)
        html += QStringLiteral("<p><a href=\"/next_page\">%1</a></p>\n").arg(htmlEscape(tr(">>Next Page")));
    html += QStringLiteral("<a name=\"end\"></a></body></html>\n");
    return html;
}

QString LineBubblePageBuilder::bubble(const _LineMsg& message)
{
    return BubbleMarkup::senderLine(message) + BubbleMarkup::bubbleStart(message) + bodyOf(message) +
           BubbleMarkup::bubbleEnd(message);
}

QString LineBubblePageBuilder::attachmentLink(const QString& filePath, const QString& suffix)
{
    return QStringLiteral("atta:///?ph=%1&sf=%2")
        .arg(QString::fromLatin1(filePath.toUtf8().toHex()),
             QString::fromLatin1(QUrl::toPercentEncoding(suffix)));
}

QString LineBubblePageBuilder::imageLink(const QString& link, const QString& src, int size,
                                         const QString& extra)
{
    QString shown;
    if (src.startsWith(QLatin1String("http://")) || src.startsWith(QLatin1String("https://"))) {
        shown = src;
    } else {
        const QFileInfo file(src);
        shown = !src.isEmpty() && file.isFile() && file.size() > 0
                    ? QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)
                    : QStringLiteral("linebb/empty_photo.jpg");
    }
    return BubbleMarkup::imageLink(link, shown, size, extra, BubbleMarkup::SameWindow);
}
