#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace iphonesim {

class SimDevice;
class SimStream;

// Behaviour switches of the device-side services.
struct ServiceOptions
{
    // File data per block when the device sends files (the host accepts any block size).
    size_t fileBlockSize = 64 * 1024;
    // Apps per "BrowsingApplications" answer of the installation proxy.
    size_t browsePageSize = 20;
    // During a backup or restore the device gives up on a silent host after this long. Other services wait
    // as long as the client keeps the connection (idevicebackup2 holds its lock file open throughout).
    int receiveTimeoutSeconds = 300;
    // Called after a restore that asked for a reboot; the simulator detaches and re-attaches the device.
    std::function<void(const std::string& udid)> rebootDevice;
};

constexpr const char* kLockdownServiceName = "com.apple.mobile.lockdown";

// Runs the device's side of one connection to a service ("com.apple.mobile.lockdown" for port 62078, or a
// service lockdownd started) until the client leaves.
void serveDeviceConnection(const std::shared_ptr<SimDevice>& device, const std::string& service,
                           SimStream& stream, const ServiceOptions& options);

} // namespace iphonesim
