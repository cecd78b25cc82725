#include "ConnectionPool.h"

#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

namespace iphonesim {

ConnectionPool::~ConnectionPool()
{
    stop();
}

bool ConnectionPool::start(FdHandle fd, std::string name, std::function<void(SimStream&)> handler)
{
    std::lock_guard lock(m_mutex);
    if (m_stopping)
        return false;
    reapFinished();
    auto stream = std::make_shared<SimStream>(std::move(fd));
    m_streams.insert(stream.get());
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, stream, finished, name = std::move(name), handler = std::move(handler)]() {
        try {
            handler(*stream);
        } catch (const ConnectionClosed& closed) {
            logDebug(name + ": " + closed.what());
        } catch (const std::exception& failure) {
            logError(name + ": " + failure.what());
        }
        {
            std::lock_guard lock(m_mutex);
            m_streams.erase(stream.get());
        }
        *finished = true;
    });
    m_workers.push_back(Worker{std::move(thread), std::move(finished)});
    return true;
}

void ConnectionPool::stop()
{
    std::list<Worker> workers;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (SimStream* stream : m_streams)
            stream->abort();
        workers.swap(m_workers);
    }
    for (Worker& worker : workers) {
        if (worker.thread.joinable())
            worker.thread.join();
    }
}

size_t ConnectionPool::activeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_streams.size();
}

void ConnectionPool::reapFinished()
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (*it->finished) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace iphonesim
