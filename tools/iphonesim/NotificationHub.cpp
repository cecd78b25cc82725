#include "NotificationHub.h"

namespace iphonesim {

int NotificationHub::subscribe(Sink sink)
{
    std::lock_guard lock(m_mutex);
    const int id = m_nextId++;
    m_observers[id].sink = std::move(sink);
    return id;
}

void NotificationHub::unsubscribe(int id)
{
    std::lock_guard lock(m_mutex);
    m_observers.erase(id);
}

void NotificationHub::observe(int id, const std::string& name)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_observers.find(id);
    if (found != m_observers.end())
        found->second.names.insert(name);
}

void NotificationHub::post(const std::string& name)
{
    // Delivered under the lock, so that an unsubscribed observer (whose connection is ending) is never
    // called afterwards.
    std::lock_guard lock(m_mutex);
    for (const auto& [id, observer] : m_observers) {
        if (observer.names.count(name))
            observer.sink(name);
    }
}

} // namespace iphonesim
