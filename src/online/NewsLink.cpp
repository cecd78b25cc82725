#include "online/NewsLink.h"

#include "app/AppInfo.h"
#include "app/TextUtils.h"
#include "online/SmallReply.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
constexpr qint64 kMaxAnswer = 64 * 1024;
constexpr qsizetype kMaxLinkText = 200;
const QString kNewsColour = QStringLiteral("#FF8B00");

// The few character references a link's text or address may hold.
QString decodeEntities(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x[0-9a-fA-F]{1,6}|[0-9]{1,7});"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += text.mid(last, match.capturedStart() - last);
        const QString code = match.captured(1);
        bool ok = false;
        const uint point =
            code.startsWith(QLatin1Char('x')) ? code.mid(1).toUInt(&ok, 16) : code.toUInt(&ok, 10);
        if (ok && point > 0 && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF))
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
        last = match.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QLatin1String("&lt;"), QLatin1String("<"));
    out.replace(QLatin1String("&gt;"), QLatin1String(">"));
    out.replace(QLatin1String("&quot;"), QLatin1String("\""));
    out.replace(QLatin1String("&#39;"), QLatin1String("'"));
    out.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return out;
}
} // namespace

NewsLink::NewsLink(const QDir& dataDir, const VendorEndpoint& endpoint, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_endpoint(endpoint), m_network(new QNetworkAccessManager(this))
{
}

NewsLink::~NewsLink() = default;

QString NewsLink::linkHtml(const QString& answer)
{
    if (!answer.startsWith(QLatin1String("<a")))
        return {};
    static const QRegularExpression anchor(
        QStringLiteral(
            "^<a\\s[^>]*?\\bhref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>\"']+))[^>]*>(.*?)</a\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = anchor.match(answer);
    if (!match.hasMatch())
        return {};
    const QString href = decodeEntities(match.captured(1) + match.captured(2) + match.captured(3)).trimmed();
    const QUrl url(href, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return {};
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = decodeEntities(QString(match.captured(4)).remove(tags)).simplified();
    if (text.isEmpty())
        return {};
    if (text.size() > kMaxLinkText)
        text = text.left(kMaxLinkText) + QChar(0x2026);
    return QStringLiteral("<a style=\"color:%1;text-decoration:none;\" href=\"%2\">%3</a>")
        .arg(kNewsColour, htmlAttributeEscape(QString::fromLatin1(url.toEncoded())), htmlEscape(text));
}

QString NewsLink::storedHtml() const
{
    QFile file(m_dataDir.filePath(fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return linkHtml(QString::fromUtf8(file.read(kMaxAnswer)));
}

void NewsLink::start()
{
    if (!m_endpoint.isConfigured())
        return;
    const QUrl url = m_endpoint.url(QStringLiteral("/adv.php"), QStringLiteral("pid=") + AppInfo::productId);
    sendSmallRequest(*m_network, QNetworkRequest(url), QByteArray(), kMaxAnswer,
                     [this](int status, const QByteArray& body) { onAnswer(status, body); });
}

void NewsLink::onAnswer(int status, const QByteArray& body)
{
    const QString html = status == 200 ? linkHtml(QString::fromUtf8(body)) : QString();
    if (!html.isEmpty()) {
        QSaveFile file(m_dataDir.filePath(fileName()));
        if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit())
            qWarning("online: cannot write %s", qPrintable(file.fileName()));
        emit newsChanged(html);
    }
    emit finished();
}
