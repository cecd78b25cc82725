#pragma once

namespace iphonesim {

class SimDevice;
class SimStream;
struct ServiceOptions;

// com.apple.mobilebackup2: the DeviceLink version exchange, Hello with the protocol version, then the host's
// requests (Backup, Restore, EnableCloudBackup) until it disconnects.
class MobileBackup2Service
{
public:
    MobileBackup2Service(SimDevice& device, SimStream& stream, const ServiceOptions& options);
    void run();

private:
    SimDevice& m_device;
    SimStream& m_stream;
    const ServiceOptions& m_options;
};

} // namespace iphonesim
