#include "MobileBackup2Service.h"

#include "BackupPasswordChange.h"
#include "BackupQuery.h"
#include "BackupSession.h"
#include "DeviceLink.h"
#include "DeviceServices.h"
#include "RestoreSession.h"
#include "SimDevice.h"
#include "SimLog.h"

namespace iphonesim {

MobileBackup2Service::MobileBackup2Service(SimDevice& device, SimStream& stream,
                                           const ServiceOptions& options)
    : m_device(device), m_stream(stream), m_options(options)
{
}

void MobileBackup2Service::run()
{
    DeviceLink link(m_stream);
    link.exchangeVersions(m_device.versionAtLeast(14) ? DeviceLink::kVersion400 : DeviceLink::kVersion300);
    try {
        for (;;) {
            PlistPtr message = link.receiveProcessMessage();
            const std::string name = dictString(message.get(), "MessageName").value_or("");
            logDebug(m_device.udid() + " mobilebackup2 " + name);
            if (name == "Hello") {
                // The device speaks 2.0 and 2.1 and answers with the highest version both know.
                double chosen = 0;
                plist_t versions = dictItem(message.get(), "SupportedProtocolVersions", PLIST_ARRAY);
                for (uint32_t i = 0; versions && i < plist_array_get_size(versions); ++i) {
                    plist_t item = plist_array_get_item(versions, i);
                    double version = 0;
                    if (plist_get_node_type(item) == PLIST_REAL)
                        plist_get_real_val(item, &version);
                    if ((version == 2.0 || version == 2.1) && version > chosen)
                        chosen = version;
                }
                PlistPtr response = newDict();
                dictSetUInt(response.get(), "ErrorCode", chosen > 0 ? 0 : 1);
                dictSetString(response.get(), "MessageName", "Response");
                if (chosen > 0)
                    dictSetReal(response.get(), "ProtocolVersion", chosen);
                link.sendProcessMessage(response.get());
            } else if (name == "Backup") {
                BackupSession(m_device, link, m_options).run(message.get());
            } else if (name == "Restore") {
                RestoreSession(m_device, link, m_options).run(message.get());
            } else if (name == "ChangePassword") {
                changeBackupPassword(m_device, link, message.get());
            } else if (name == "Info") {
                BackupQuery(m_device, link, m_options).info(message.get());
            } else if (name == "List") {
                BackupQuery(m_device, link, m_options).list(message.get());
            } else if (name == "EnableCloudBackup") {
                const bool enable = dictBool(message.get(), "CloudBackupState").value_or(false);
                m_device.updateSettings(
                    [&](DeviceSettings& settings) { settings.cloudBackupEnabled = enable; });
                link.sendResponse(0, "");
            } else {
                link.sendResponse(1, "The request " + name +
                                         " is not supported by this device (MBErrorDomain/1)");
            }
        }
    } catch (const HostDisconnected&) {
        logDebug(m_device.udid() + " mobilebackup2: the host disconnected");
    }
}

} // namespace iphonesim
