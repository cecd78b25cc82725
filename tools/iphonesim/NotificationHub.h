#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace iphonesim {

// Darwin notifications of one device: notification_proxy connections observe names, posts (from a client
// or from the control channel) are relayed to every observer of that name.
class NotificationHub
{
public:
    using Sink = std::function<void(const std::string& name)>;

    int subscribe(Sink sink);
    void unsubscribe(int id);
    void observe(int id, const std::string& name);
    void post(const std::string& name);

private:
    struct Observer
    {
        Sink sink;
        std::set<std::string> names;
    };

    std::mutex m_mutex;
    std::map<int, Observer> m_observers;
    int m_nextId = 1;
};

} // namespace iphonesim
