#pragma once

namespace iphonesim {

class PlistChannel;
class SimDevice;

// com.apple.mobile.notification_proxy: observes and posts notifications through the device's hub.
class NotificationProxyService
{
public:
    NotificationProxyService(SimDevice& device, PlistChannel& channel);
    void run();

private:
    SimDevice& m_device;
    PlistChannel& m_channel;
};

} // namespace iphonesim
