#include "online/UpdateCheck.h"

#include "online/SmallReply.h"
#include "online/VendorQuery.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QSysInfo>

namespace {
constexpr qint64 kOneDay = 86400;
constexpr qint64 kMaxAnswer = 64 * 1024;
} // namespace

UpdateCheck::UpdateCheck(const QDir& dataDir, const VendorEndpoint& endpoint, QObject* parent)
    : QObject(parent), m_dataDir(dataDir), m_endpoint(endpoint), m_network(new QNetworkAccessManager(this))
{
}

UpdateCheck::~UpdateCheck() = default;

bool UpdateCheck::isDue(const QString& timeFile, qint64 nowSeconds)
{
    QFile file(timeFile);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    bool ok = false;
    const qint64 last = file.read(32).trimmed().toLongLong(&ok);
    if (!ok || last == 0)
        return true;
    return quint64(nowSeconds - last) > quint64(kOneDay);
}

bool UpdateCheck::startIfDue(qint64 nowSeconds)
{
    if (!m_endpoint.isConfigured() || !isDue(m_dataDir.filePath(timeFileName()), nowSeconds))
        return false;
    const QUrl url = m_endpoint.url(QStringLiteral("/sms_check_update.php"),
                                    VendorQuery::productQuery() + QStringLiteral("&q=1"));
    sendSmallRequest(
        *m_network, QNetworkRequest(url), QByteArray(), kMaxAnswer,
        [this, nowSeconds](int status, const QByteArray& body) { onAnswer(status, body, nowSeconds); });
    return true;
}

void UpdateCheck::onAnswer(int status, const QByteArray& body, qint64 nowSeconds)
{
    if (status == 200) {
        const QByteArray answer = body.trimmed();
        if (answer.startsWith("http://") || answer.startsWith("https://")) {
            const QUrl download(QString::fromLatin1(answer), QUrl::StrictMode);
            if (m_endpoint.isSafeAddressToOpen(download))
                emit obsoleteVersion(download);
            else
                qWarning(
                    "online: the update check named an address that is not an https address on the service's "
                    "host; ignored");
        } else {
            QSaveFile file(m_dataDir.filePath(timeFileName()));
            if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(nowSeconds)) < 0 ||
                !file.commit())
                qWarning("online: cannot write %s", qPrintable(file.fileName()));
        }
    }
    emit finished();
}

QUrl UpdateCheck::manualUpdatePage() const
{
    const QString system =
        QSysInfo::kernelType() == QLatin1String("winnt") ? QStringLiteral("win32") : QSysInfo::kernelType();
    return m_endpoint.url(QStringLiteral("/sms_check_update.php"),
                          VendorQuery::productQuery() + QStringLiteral("&sys=") + system);
}

QString UpdateCheck::obsoleteText()
{
    return tr("This version of Vantorel software has become obsolete. Please download the latest version to "
              "install on your computer.");
}

QString UpdateCheck::downloadButtonText()
{
    return tr("Download");
}
