#include "export/BubbleMarkup.h"

#include "app/TextUtils.h"
#include "line/EmojiText.h"
#include "line/LineChat.h"
#include "line/LineImageUrls.h"
#include "line/LineUser.h"

#include <QUrl>

QString BubbleMarkup::documentStart()
{
    return QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                          "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
                          "<html xmlns=\"http://www.w3.org/1999/xhtml\">");
}

QString BubbleMarkup::title(const QString& text)
{
    return QStringLiteral("<title>") + text.toHtmlEscaped() + QStringLiteral("</title>");
}

QString BubbleMarkup::frameDivs()
{
    return QStringLiteral("<div class=\"bb_bg top_left\"></div><div class=\"bb_bg top_middle\"></div>"
                          "<div class=\"bb_bg top_right\"></div><div class=\"bb_bg middle_left\"></div>"
                          "<div class=\"bb_bg middle_middle\"></div><div class=\"bb_bg middle_right\"></div>"
                          "<div class=\"bb_bg bottom_left\"></div><div class=\"bb_bg bottom_middle\"></div>"
                          "<div class=\"bb_bg bottom_right\"></div>");
}

QString BubbleMarkup::daySeparator(const QDate& day)
{
    return QStringLiteral("<div style=\"text-align:center; margin-bottom:10px;\"><div class=\"r\">") +
           frameDivs() + day.toString(QStringLiteral("dd MMM yyyy")) +
           QStringLiteral("</div><div class=\"clear\"></div></div>");
}

QString BubbleMarkup::senderLine(const _LineMsg& message)
{
    if (message.isOutgoing() || !message.chat || message.chat->type == _LineChat::Single)
        return QString();
    return QStringLiteral("<div class=\"handle\">") + richText(message.sender->displayName()) +
           QStringLiteral("</div>");
}

QString BubbleMarkup::bubbleStart(const _LineMsg& message)
{
    return (message.isOutgoing() ? QStringLiteral("<div class=\"bb2\">")
                                 : QStringLiteral("<div class=\"bb1\">")) +
           frameDivs();
}

QString BubbleMarkup::bubbleEnd(const _LineMsg& message)
{
    return QStringLiteral("<div class=\"bb_time\">") + message.time.toString(QStringLiteral("hh:mm AP")) +
           QStringLiteral("</div></div><div class=\"clear\"></div>");
}

QString BubbleMarkup::plainText(const QString& text)
{
    return htmlEscape(text);
}

QString BubbleMarkup::richText(const QString& text)
{
    // A carriage return, alone or before a line feed, ends a line as well.
    QString lines = text;
    if (lines.contains(QLatin1Char('\r'))) {
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return EmojiText::replaceEmoji(htmlEscape(lines), &BubbleMarkup::emojiHtml);
}

QString BubbleMarkup::emojiHtml(const QString& code)
{
    const QString image = LineImageUrls::emojiImage(code);
    if (!image.isEmpty())
        return QStringLiteral("<img src=\"%1\" style=\"vertical-align:top;\"/>")
            .arg(htmlAttributeEscape(image));
    bool ok = false;
    const uint codePoint = code.toUInt(&ok, 16);
    if (!ok || (codePoint >= 0xE000 && codePoint <= 0xE537) || codePoint > 0x10FFFF)
        return EmojiText::Marker;
    const char32_t character = codePoint;
    return QString::fromUcs4(&character, 1);
}

QString BubbleMarkup::contact(const QString& name)
{
    return tr("Contact:").toHtmlEscaped() + QStringLiteral("<br/>") + htmlEscape(name);
}

QString BubbleMarkup::textLink(const QString& address, const QString& text, LinkTarget target)
{
    const QString anchor = target == NewWindow ? QStringLiteral("<a target=\"_blank\" href=\"%1\">%2</a>")
                                               : QStringLiteral("<a href=\"%1\">%2</a>");
    return anchor.arg(htmlAttributeEscape(address), htmlEscape(text));
}

QString BubbleMarkup::voiceNote(const QString& icon, const QString& link, const QString& length)
{
    return QStringLiteral("<img width=\"32px\" src=\"") + htmlAttributeEscape(icon) +
           QStringLiteral("\" align=\"middle\"/>") + textLink(link, length, SameWindow);
}

QString BubbleMarkup::imageLink(const QString& link, const QString& src, int size, const QString& alt,
                                LinkTarget target)
{
    const QString anchor = target == NewWindow ? QStringLiteral("<a href=\"%1\" target=\"_blank\">")
                                               : QStringLiteral("<a href=\"%1\">");
    const QString altAttribute =
        alt.isEmpty() ? QString() : QStringLiteral("alt=\"") + htmlAttributeEscape(alt) + QLatin1Char('"');
    return anchor.arg(htmlAttributeEscape(link)) +
           QStringLiteral("<img style=\"max-width:%1px;max-height:%1px;\" src=\"%2\" %3></a>")
               .arg(QString::number(size), htmlAttributeEscape(src), altAttribute);
}

QString BubbleMarkup::relativeFileLink(const QString& folder, const QString& fileName)
{
    return folder + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}
