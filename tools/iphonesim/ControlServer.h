#pragma once

#include "ConnectionPool.h"
#include "FdHandle.h"

#include <atomic>
#include <string>
#include <thread>

namespace iphonesim {

class Simulator;

// Serves the control language on a UNIX socket.
class ControlServer
{
public:
    ControlServer(std::string socketPath, Simulator& simulator);
    ~ControlServer();
    void start();
    void stop();

private:
    void acceptLoop();

    std::string m_socketPath;
    Simulator& m_simulator;
    FdHandle m_listener;
    FdHandle m_wakeRead;
    FdHandle m_wakeWrite;
    std::thread m_thread;
    ConnectionPool m_connections;
    std::atomic<bool> m_running{false};
};

} // namespace iphonesim
