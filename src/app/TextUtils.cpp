#include "app/TextUtils.h"

#include <QCryptographicHash>

QString htmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '\n':
            out += QLatin1String("<br/>");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString htmlAttributeEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString md5Hex(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}
