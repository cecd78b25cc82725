#include "device/MobiledeviceSubscribe.h"

#include "platform/UsbMultiplexer.h"

#include <libimobiledevice/libimobiledevice.h>

MobiledeviceSubscribe::MobiledeviceSubscribe(QObject* parent) : QObject(parent)
{
}

MobiledeviceSubscribe::~MobiledeviceSubscribe()
{
    stop();
}

bool MobiledeviceSubscribe::start()
{
    launchMultiplexer();
    m_attachedCount = 0;
    m_subscribed =
        idevice_event_subscribe([](const idevice_event_t* event, void* self) { onEvent(event, self); },
                                this) == IDEVICE_E_SUCCESS;
    return m_subscribed;
}

void MobiledeviceSubscribe::stop()
{
    stopMultiplexer();
    if (m_subscribed) {
        idevice_event_unsubscribe();
        m_subscribed = false;
    }
}

void MobiledeviceSubscribe::onEvent(const void* rawEvent, void* self)
{
    const auto* event = static_cast<const idevice_event_t*>(rawEvent);
    auto* subscriber = static_cast<MobiledeviceSubscribe*>(self);
    if (!event || !event->udid || event->conn_type != CONNECTION_USBMUXD)
        return;
    const QString udid = QString::fromLatin1(event->udid);
    if (event->event == IDEVICE_DEVICE_ADD) {
        ++subscriber->m_attachedCount;
        emit subscriber->newDevice(udid);
    } else if (event->event == IDEVICE_DEVICE_REMOVE) {
        --subscriber->m_attachedCount;
        emit subscriber->kickDevice(udid);
    }
}
