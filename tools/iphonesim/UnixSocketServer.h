#pragma once

#include "ConnectionPool.h"
#include "FdHandle.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace iphonesim {

class SimStream;

// A listening UNIX stream socket whose connections are accepted on a thread of their own and served by
// the connection pool, each with the same handler.
class UnixSocketServer
{
public:
    using Handler = std::function<void(SimStream&)>;

    // name labels the log lines ("usbmuxd", "control"); the pool's threads are "<name> client".
    UnixSocketServer(std::string socketPath, std::string name, Handler handler);
    ~UnixSocketServer();
    UnixSocketServer(const UnixSocketServer&) = delete;
    UnixSocketServer& operator=(const UnixSocketServer&) = delete;

    // Binds the socket (replacing a stale socket file) and starts accepting; throws SimError.
    void start();
    // Stops accepting, cuts every connection, joins every thread and removes the socket file.
    void stop();
    const std::string& socketPath() const { return m_socketPath; }

private:
    void acceptLoop();
    // Accepts one pending connection; false when the listener is unusable and the loop must end.
    bool acceptOne();
    // Sleeps up to milliseconds, or less when stop() wakes the loop.
    void pause(int milliseconds);

    std::string m_socketPath;
    std::string m_name;
    Handler m_handler;
    FdHandle m_listener;
    FdHandle m_wakeRead;
    FdHandle m_wakeWrite;
    std::thread m_thread;
    ConnectionPool m_connections;
    std::atomic<bool> m_running{false};
};

// Creates a listening UNIX stream socket at path (removing a socket file left behind); throws SimError.
FdHandle listenOnUnixSocket(const std::string& path);

} // namespace iphonesim
