#include "app/BackgroundFileCopies.h"

#include "app/NewFileCopy.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

BackgroundFileCopies::BackgroundFileCopies(int threads, int maxQueued) : m_maxQueued(std::max(1, maxQueued))
{
    for (int i = 0; i < std::max(1, threads); ++i)
        m_threads.emplace_back([this] { work(); });
}

BackgroundFileCopies::~BackgroundFileCopies()
{
    cancel();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void BackgroundFileCopies::add(const QString& from, const QString& to)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return int(m_queue.size()) < m_maxQueued; });
    m_queue.push_back({from, to});
    lock.unlock();
    m_changed.notify_all();
}

qint64 BackgroundFileCopies::finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && m_running == 0; });
    return m_made;
}

void BackgroundFileCopies::cancel()
{
    std::unique_lock lock(m_mutex);
    m_queue.clear();
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_running == 0; });
}

void BackgroundFileCopies::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping
        const Copy copy = std::move(m_queue.front());
        m_queue.pop_front();
        ++m_running;
        lock.unlock();
        m_changed.notify_all(); // room in the queue

        makeFolderOnce(QFileInfo(copy.to).path());
        const bool made = copyToNewFile(copy.from, copy.to); // false for a target that exists

        lock.lock();
        --m_running;
        if (made)
            ++m_made;
        m_changed.notify_all();
    }
}

void BackgroundFileCopies::makeFolderOnce(const QString& folder)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_folders.contains(folder))
            return;
    }
    // Two threads may make the same folder at once: mkpath succeeds for both.
    QDir().mkpath(folder);
    std::lock_guard lock(m_mutex);
    m_folders.insert(folder);
}
