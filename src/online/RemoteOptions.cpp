#include "online/RemoteOptions.h"

#include "online/HttpClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <exception>

namespace {
constexpr int kConnectTimeoutSeconds = 5;
constexpr qint64 kTimeoutMs = 15000;
constexpr qint64 kMaxAnswer = 64 * 1024;
} // namespace

RemoteOptions::RemoteOptions(const VendorEndpoint& endpoint) : m_endpoint(endpoint)
{
}

RemoteOptions& RemoteOptions::program()
{
    static RemoteOptions options;
    return options;
}

bool RemoteOptions::remoteSystemMode()
{
    return systemMode().value_or(0) > 0;
}

std::optional<int> RemoteOptions::systemMode()
{
    QMutexLocker lock(&m_mutex);
    if (m_systemMode >= 0)
        return m_systemMode;
    if (!m_endpoint.isConfigured())
        return std::nullopt;
    try {
        HttpClient client;
        client.setRequest(m_endpoint.url(QStringLiteral("/itunes_bk_options.php")));
        client.setConnectTimeout(kConnectTimeoutSeconds);
        client.setTimeoutMs(kTimeoutMs);
        client.setMaxBodySize(kMaxAnswer);
        const QByteArray answer = client.fetch();
        if (client.statusCode() != 200)
            return std::nullopt;
        const QJsonDocument document = QJsonDocument::fromJson(answer);
        if (document.isObject())
            m_systemMode =
                std::max(0, document.object().value(QLatin1String("system_mode")).toVariant().toInt());
    } catch (const std::exception& error) {
        qWarning("online: the remote options could not be read: %s", error.what());
    }
    if (m_systemMode < 0)
        return std::nullopt;
    return m_systemMode;
}

bool remoteSystemMode()
{
    return RemoteOptions::program().remoteSystemMode();
}
