#pragma once

#include "ConnectionPool.h"
#include "DeviceServices.h"
#include "FdHandle.h"

#include <atomic>
#include <string>
#include <thread>

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
    const std::string& socketPath() const { return m_socketPath; }

private:
    void acceptLoop();

    std::string m_socketPath;
    DeviceRegistry& m_registry;
    HostPairStore& m_pairStore;
    ServiceOptions m_options;
    FdHandle m_listener;
    FdHandle m_wakeRead;
    FdHandle m_wakeWrite;
    std::thread m_acceptThread;
    ConnectionPool m_connections;
    std::atomic<bool> m_running{false};
};

// Creates a listening UNIX stream socket at path (removing a socket file left behind); throws SimError.
FdHandle listenOnUnixSocket(const std::string& path);

} // namespace iphonesim
