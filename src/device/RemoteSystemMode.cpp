#include "device/RemoteSystemMode.h"

#include <QMutex>
#include <QMutexLocker>
#include <exception>

namespace {

QMutex g_mutex;
std::shared_ptr<RemoteOptionsService> g_service;
int g_cache = -1;

} // namespace

RemoteOptionsService::~RemoteOptionsService() = default;

namespace DeviceRemoteOptions {

void setService(std::shared_ptr<RemoteOptionsService> service)
{
    QMutexLocker lock(&g_mutex);
    g_service = std::move(service);
    g_cache = -1;
}

bool systemMode()
{
    QMutexLocker lock(&g_mutex);
    if (g_cache >= 0)
        return g_cache > 0;
    if (!g_service)
        return false;
    try {
        if (const std::optional<int> mode = g_service->systemMode())
            g_cache = qMax(*mode, 0);
    } catch (const std::exception&) {
    }
    return g_cache > 0;
}

} // namespace DeviceRemoteOptions
