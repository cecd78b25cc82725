#include "online/ErrorReport.h"

#include "app/VendorConfig.h"

#include <QtDebug>

namespace ErrorReport {

QString logLine(const QString& text, const QString& serviceHost)
{
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (serviceHost.isEmpty())
        return QStringLiteral("error report not sent (no report service is configured): ") + oneLine;
    // The HTTP client that posts to the service is not part of this build yet; say so rather than
    // pretend the report went out.
    return QStringLiteral("error report not sent (this build has no report client for %1): ")
               .arg(serviceHost) +
           oneLine;
}

void send(const QString& text)
{
    qWarning("%s", qUtf8Printable(logLine(text, VendorConfig::serviceHost())));
}

} // namespace ErrorReport
