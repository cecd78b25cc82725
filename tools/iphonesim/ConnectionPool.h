#pragma once

#include "FdHandle.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace iphonesim {

class SimStream;

// Runs every accepted connection on a thread of its own and can cut and join them all, so that stopping the
// simulator leaves nothing running.
class ConnectionPool
{
public:
    ConnectionPool() = default;
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // The handler runs on a new thread with the connection's stream; its exceptions are logged under name.
    // Returns false (closing the descriptor) once the pool is stopping.
    bool start(FdHandle fd, std::string name, std::function<void(SimStream&)> handler);
    void stop();
    size_t activeCount() const;

private:
    struct Worker
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void reapFinished();

    mutable std::mutex m_mutex;
    std::list<Worker> m_workers;
    std::set<SimStream*> m_streams;
    bool m_stopping = false;
};

} // namespace iphonesim
