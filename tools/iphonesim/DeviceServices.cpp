#include "DeviceServices.h"

#include "AfcService.h"
#include "InstallationProxyService.h"
#include "LockdownService.h"
#include "MobileBackup2Service.h"
#include "NotificationProxyService.h"
#include "PlistChannel.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

namespace iphonesim {

void serveDeviceConnection(const std::shared_ptr<SimDevice>& device, const std::string& service,
                           SimStream& stream, const ServiceOptions& options)
{
    logDebug(device->udid() + " connection to " + service);
    if (service == kLockdownServiceName) {
        PlistChannel channel(stream, 4u << 20);
        LockdownService(*device, channel).run();
    } else if (service == "com.apple.mobile.installation_proxy") {
        PlistChannel channel(stream, 1u << 20);
        InstallationProxyService(*device, channel, options.browsePageSize).run();
    } else if (service == "com.apple.mobile.notification_proxy" ||
               service == "com.apple.mobile.insecure_notification_proxy") {
        PlistChannel channel(stream, 1u << 20);
        NotificationProxyService(*device, channel).run();
    } else if (service == "com.apple.afc") {
        AfcService(*device, stream).run();
    } else if (service == "com.apple.mobilebackup2") {
        stream.setReceiveTimeout(options.receiveTimeoutSeconds);
        MobileBackup2Service(*device, stream, options).run();
    } else {
        throw SimError("no such service: " + service);
    }
}

} // namespace iphonesim
