#include "device/DeviceDirectory.h"

#include "device/DeviceApps.h"
#include "device/DeviceLockdown.h"
#include "plist/PlistCFType.h"

#include <cstdlib>
#include <usbmuxd.h>

namespace {

// The HostID of the computer's pairing record for the device, empty when there is none.
QString pairedHostId(const QString& udid)
{
    char* data = nullptr;
    uint32_t size = 0;
    if (usbmuxd_read_pair_record(udid.toLatin1().constData(), &data, &size) != 0 || !data)
        return {};
    const PlistCFType record = PlistCFType::fromData(QByteArray(data, qsizetype(size)));
    std::free(data);
    return record.value(QStringLiteral("HostID")).getString();
}

} // namespace

QStringList attachedDeviceUdids(bool* reachable)
{
    idevice_info_t* raw = nullptr;
    int count = 0;
    const bool answered = idevice_get_device_list_extended(&raw, &count) == IDEVICE_E_SUCCESS;
    if (reachable)
        *reachable = answered;
    if (!answered)
        return {};
    const DeviceInfoList list(raw);
    QStringList udids;
    for (int i = 0; i < count && raw[i]; ++i) {
        if (raw[i]->conn_type != CONNECTION_USBMUXD || !raw[i]->udid)
            continue;
        const QString udid = QString::fromLatin1(raw[i]->udid);
        if (isValidUdid(udid) && !udids.contains(udid))
            udids.append(udid);
    }
    return udids;
}

DeviceSummary describeDevice(const QString& udid)
{
    DeviceSummary summary;
    summary.udid = udid;
    DeviceConnection connection(udid);
    idevice_t device = nullptr;
    if (!isValidUdid(udid) || idevice_new_with_options(&device, udid.toLatin1().constData(),
                                                       IDEVICE_LOOKUP_USBMUX) != IDEVICE_E_SUCCESS)
        return summary;
    connection.device.reset(device);
    lockdownd_client_t client = nullptr;
    if (lockdownd_client_new(device, &client, kDeviceClientLabel) != LOCKDOWN_E_SUCCESS)
        return summary;
    connection.lockdown.reset(client);
    const QString hostId = pairedHostId(udid);
    summary.paired = !hostId.isEmpty() && lockdownd_start_session(client, hostId.toLatin1().constData(),
                                                                  nullptr, nullptr) == LOCKDOWN_E_SUCCESS;
    plist_t root = nullptr;
    if (lockdownd_get_value(client, nullptr, nullptr, &root) == LOCKDOWN_E_SUCCESS && root) {
        const PlistCFType values(root, true);
        summary.name = values.value(QStringLiteral("DeviceName")).getString();
        summary.productType = values.value(QStringLiteral("ProductType")).getString();
        summary.productVersion = values.value(QStringLiteral("ProductVersion")).getString();
    } else if (root) {
        plist_free(root);
    }
    if (summary.paired)
        summary.lineInstalled = !findLineHome(udid).isEmpty();
    return summary;
}
