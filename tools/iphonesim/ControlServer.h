#pragma once

#include "UnixSocketServer.h"

#include <string>

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
    Simulator& m_simulator;
    // Last: its threads use the simulator, and it stops them before the server goes.
    UnixSocketServer m_server;
};

} // namespace iphonesim
