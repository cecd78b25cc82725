#include "ui/LineBubblePageBuilder.h"

#include "export/BubbleMarkup.h"
#include "export/MessageBodyRenderer.h"

#include <QFileInfo>
#include <QUrl>

namespace {

QString suffixOr(const QString& fileName, const QString& fallback)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? fallback : suffix;
}

// A picture of the bubble view: a web address as it is, else the local file when it exists and is not
// empty, else the placeholder.
QString pictureSource(const QString& src)
{
    if (src.startsWith(QLatin1String("http://")) || src.startsWith(QLatin1String("https://")))
        return src;
    const QFileInfo file(src);
    return !src.isEmpty() && file.isFile() && file.size() > 0
               ? QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)
               : QStringLiteral("linebb/empty_photo.jpg");
}

// The bubble view's addresses: attachments as "atta:" links, which the view manager opens (the suffix
// tells it how), thumbnails as local files, everything in the same window.
class BubbleViewTarget final : public MessageBodyTarget
{
public:
    MediaLinks photo(const _LineMsg& message) const override { return media(message, QStringLiteral("jpg")); }
    MediaLinks video(const _LineMsg& message) const override { return media(message, QStringLiteral("mp4")); }
    QString voiceNote(const _LineMsg& message) const override
    {
        return LineBubblePageBuilder::attachmentLink(message.filePath,
                                                     suffixOr(message.filePath, QStringLiteral("aac")));
    }
    QString file(const _LineMsg& message) const override
    {
        return LineBubblePageBuilder::attachmentLink(message.filePath,
                                                     QFileInfo(message.fileName()).suffix());
    }
    QString voiceIcon() const override { return QStringLiteral("linebb/voice.png"); }
    BubbleMarkup::LinkTarget linkTarget() const override { return BubbleMarkup::SameWindow; }

private:
    static MediaLinks media(const _LineMsg& message, const QString& defaultSuffix)
    {
        return {LineBubblePageBuilder::attachmentLink(message.filePath,
                                                      suffixOr(message.filePath, defaultSuffix)),
                pictureSource(message.thumbPath)};
    }
};

// "<p><a href="address">text</a></p>" and a line end.
QString pagingLink(const QString& address, const QString& text)
{
    return QStringLiteral("<p>") + BubbleMarkup::textLink(address, text, BubbleMarkup::SameWindow) +
           QStringLiteral("</p>\n");
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
    if (page != 1)
        html += pagingLink(QStringLiteral("/pre_page"), tr("<<Previous Page"));
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
        html += pagingLink(QStringLiteral("/next_page"), tr(">>Next Page"));
    html += QStringLiteral("<a name=\"end\"></a></body></html>\n");
    return html;
}

QString LineBubblePageBuilder::bubble(const _LineMsg& message)
{
    return MessageBodyRenderer::bubble(message, BubbleViewTarget());
}

QString LineBubblePageBuilder::attachmentLink(const QString& filePath, const QString& suffix)
{
    return QStringLiteral("atta:///?ph=%1&sf=%2")
        .arg(QString::fromLatin1(filePath.toUtf8().toHex()),
             QString::fromLatin1(QUrl::toPercentEncoding(suffix)));
}

QString LineBubblePageBuilder::imageLink(const QString& link, const QString& src, int size,
                                         const QString& alt)
{
    return BubbleMarkup::imageLink(link, pictureSource(src), size, alt, BubbleMarkup::SameWindow);
}
