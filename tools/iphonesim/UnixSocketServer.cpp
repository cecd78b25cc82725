#include "UnixSocketServer.h"

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

namespace {

// How long the loop waits before accepting again when the process is out of descriptors or memory: the
// connection stays queued, so polling again at once would only spin.
constexpr int kResourceRetryMs = 100;

} // namespace

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

UnixSocketServer::UnixSocketServer(std::string socketPath, std::string name, Handler handler)
    : m_socketPath(std::move(socketPath)), m_name(std::move(name)), m_handler(std::move(handler))
{
}

UnixSocketServer::~UnixSocketServer()
{
    stop();
}

void UnixSocketServer::start()
{
    m_listener = listenOnUnixSocket(m_socketPath);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw SimError(std::string("pipe: ") + std::strerror(errno));
    m_wakeRead.reset(pipeFds[0]);
    m_wakeWrite.reset(pipeFds[1]);
    m_running = true;
    m_thread = std::thread([this] { acceptLoop(); });
}

void UnixSocketServer::stop()
{
    if (!m_running.exchange(false))
        return;
    const char wake = 'x';
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite.get(), &wake, 1);
    if (m_thread.joinable())
        m_thread.join();
    m_connections.stop();
    m_listener.reset();
    ::unlink(m_socketPath.c_str());
}

void UnixSocketServer::acceptLoop()
{
    while (m_running) {
        pollfd fds[2] = {{m_listener.get(), POLLIN, 0}, {m_wakeRead.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            logError(m_name + " poll: " + std::strerror(errno));
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            logError(m_name + ": the listening socket failed");
            return;
        }
        if ((fds[0].revents & POLLIN) && !acceptOne())
            return;
    }
}

bool UnixSocketServer::acceptOne()
{
    FdHandle client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (client.valid()) {
        m_connections.start(std::move(client), m_name + " client", m_handler);
        return true;
    }
    const int error = errno;
    switch (error) {
    case EINTR:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ECONNABORTED:
    case EPROTO:
        // The client went away before it was accepted; the next poll waits for another one.
        return true;
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
        logError(m_name + " accept: " + std::strerror(error));
        pause(kResourceRetryMs);
        return true;
    default:
        logError(m_name + " accept: " + std::strerror(error));
        return false;
    }
}

void UnixSocketServer::pause(int milliseconds)
{
    pollfd wake = {m_wakeRead.get(), POLLIN, 0};
    ::poll(&wake, 1, milliseconds);
}

} // namespace iphonesim
