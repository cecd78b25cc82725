#pragma once

#include "DeviceServices.h"
#include "UnixSocketServer.h"

#include <string>

namespace iphonesim {

class DeviceRegistry;
class HostPairStore;

// usbmuxd on a UNIX socket: the plist protocol (version 1) and the binary one (version 0) for Listen and
// Connect, device events, pair records and the system BUID. A Connect hands the client's socket to the
// device's service, as usbmuxd does once the device accepted the connection.
class MuxServer
{
public:
    MuxServer(std::string socketPath, DeviceRegistry& registry, HostPairStore& pairStore,
              ServiceOptions options);
    ~MuxServer();
    MuxServer(const MuxServer&) = delete;
    MuxServer& operator=(const MuxServer&) = delete;

    // Binds the socket (replacing a stale socket file) and starts accepting; throws SimError.
    void start();
    // Closes the socket, cuts every connection, joins every thread and removes the socket file.
    void stop();
    const std::string& socketPath() const { return m_server.socketPath(); }

private:
    DeviceRegistry& m_registry;
    HostPairStore& m_pairStore;
    ServiceOptions m_options;
    // Last: its threads use the members above, and it stops them before those go.
    UnixSocketServer m_server;
};

} // namespace iphonesim
