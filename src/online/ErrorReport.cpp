#include "online/ErrorReport.h"

#include "app/AppInfo.h"
#include "online/SmallReply.h"
#include "online/VendorQuery.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>

namespace ErrorReport {

namespace {
// An error text is a few lines; anything longer is cut, so a report stays a report.
constexpr qsizetype kMaxText = 8 * 1024;

QNetworkAccessManager& network()
{
    // Lives as long as the application object, which deletes it.
    static QNetworkAccessManager* manager = new QNetworkAccessManager(QCoreApplication::instance());
    return *manager;
}
} // namespace

QString plainText(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("< *br */?>"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString plain = text;
    plain.replace(lineBreak, QStringLiteral("\r\n"));
    plain.replace(QLatin1String("&lt;"), QLatin1String("<"));
    plain.replace(QLatin1String("&gt;"), QLatin1String(">"));
    return plain;
}

QByteArray encodeField(const QString& field)
{
    QByteArray encoded = field.toUtf8().toBase64();
    encoded.replace('/', '!');
    encoded.replace('=', '-');
    return encoded;
}

QByteArray body(const QString& text)
{
    const QString version = QStringLiteral("%1(%2)").arg(AppInfo::version, VendorQuery::versionNumber());
    return "prod=" + encodeField(QCoreApplication::translate("ErrorReport", "Ferrowyn")) +
           "&ver=" + encodeField(version) + "&err=" + encodeField(plainText(text).left(kMaxText));
}

QString logLine(const QString& text, const QString& serviceHost)
{
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (serviceHost.isEmpty())
        return QStringLiteral("error report not sent (no report service is configured): ") + oneLine;
    return QStringLiteral("error report sent to %1: ").arg(serviceHost) + oneLine;
}

void send(const QString& text, const VendorEndpoint& endpoint)
{
    const QString host = endpoint.isConfigured() ? endpoint.base().host() : QString();
    qWarning("%s", qUtf8Printable(logLine(text, host)));
    if (!endpoint.isConfigured() || !QCoreApplication::instance())
        return;
    QNetworkRequest request(endpoint.url(QStringLiteral("/err_report.php")));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    sendSmallRequest(network(), request, body(text), 64 * 1024, {});
}

} // namespace ErrorReport
