#include "MuxServer.h"

#include "MuxSession.h"
#include "SimError.h"
#include "SimLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace iphonesim {

FdHandle listenOnUnixSocket(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        throw SimError("socket path too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode))
            throw SimError(path + " exists and is not a socket");
        ::unlink(path.c_str());
    }
    FdHandle fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid())
        throw SimError(std::string("socket: ") + std::strerror(errno));
    if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw SimError("cannot bind " + path + ": " + std::strerror(errno));
    if (::listen(fd.get(), 64) != 0)
        throw SimError("cannot listen on " + path + ": " + std::strerror(errno));
    return fd;
}

MuxServer::MuxServer(std::string socketPath, DeviceRegistry& registry, HostPairStore& pairStore,
                     ServiceOptions options)
    : m_socketPath(std::move(socketPath)), m_registry(registry), m_pairStore(pairStore),
      m_options(std::move(options))
{
}

MuxServer::~MuxServer()
{
    stop();
}

void MuxServer::start()
{
    m_listener = listenOnUnixSocket(m_socketPath);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw SimError(std::string("pipe: ") + std::strerror(errno));
    m_wakeRead.reset(pipeFds[0]);
    m_wakeWrite.reset(pipeFds[1]);
    m_running = true;
    m_acceptThread = std::thread([this] { acceptLoop(); });
    logInfo("usbmuxd listening on " + m_socketPath);
}

void MuxServer::stop()
{
    if (!m_running.exchange(false))
        return;
    const char wake = 'x';
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite.get(), &wake, 1);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    m_connections.stop();
    m_listener.reset();
    ::unlink(m_socketPath.c_str());
}

void MuxServer::acceptLoop()
{
    while (m_running) {
        pollfd fds[2] = {{m_listener.get(), POLLIN, 0}, {m_wakeRead.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            logError(std::string("usbmuxd poll: ") + std::strerror(errno));
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        FdHandle client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client.valid())
            continue;
        m_connections.start(std::move(client), "usbmuxd client", [this](SimStream& stream) {
            MuxSession session(stream, m_registry, m_pairStore, m_options);
            session.run();
        });
    }
}

} // namespace iphonesim
