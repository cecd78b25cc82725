#pragma once

#include <libimobiledevice/afc.h>
#include <libimobiledevice/installation_proxy.h>
#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>
#include <libimobiledevice/mobilebackup2.h>
#include <libimobiledevice/notification_proxy.h>

#include <memory>
#include <type_traits>

// Owners of libimobiledevice handles: each frees its handle with the library's own call when it goes,
// so no path (an early return, an exception) leaks a connection.
template <typename Handle, auto Free>
struct DeviceHandleFree
{
    void operator()(Handle handle) const
    {
        if (handle)
            Free(handle);
    }
};

template <typename Handle, auto Free>
using DeviceHandle = std::unique_ptr<std::remove_pointer_t<Handle>, DeviceHandleFree<Handle, Free>>;

using IdeviceHandle = DeviceHandle<idevice_t, &idevice_free>;
using LockdownClient = DeviceHandle<lockdownd_client_t, &lockdownd_client_free>;
using LockdownService = DeviceHandle<lockdownd_service_descriptor_t, &lockdownd_service_descriptor_free>;
using InstproxyClient = DeviceHandle<instproxy_client_t, &instproxy_client_free>;
using Mobilebackup2Client = DeviceHandle<mobilebackup2_client_t, &mobilebackup2_client_free>;
using NotificationProxyClient = DeviceHandle<np_client_t, &np_client_free>;
using AfcClient = DeviceHandle<afc_client_t, &afc_client_free>;

// The list idevice_get_device_list_extended returns.
struct DeviceListFree
{
    void operator()(idevice_info_t* list) const { idevice_device_list_extended_free(list); }
};
using DeviceInfoList = std::unique_ptr<idevice_info_t, DeviceListFree>;
