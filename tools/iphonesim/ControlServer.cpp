#include "ControlServer.h"

#include "ControlChannel.h"
#include "MuxServer.h"
#include "SimError.h"
#include "SimStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

namespace iphonesim {

namespace {

constexpr size_t kMaxLine = 64 * 1024;

} // namespace

ControlServer::ControlServer(std::string socketPath, Simulator& simulator)
    : m_socketPath(std::move(socketPath)), m_simulator(simulator)
{
}

ControlServer::~ControlServer()
{
    stop();
}

void ControlServer::start()
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

void ControlServer::stop()
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

void ControlServer::acceptLoop()
{
    while (m_running) {
        pollfd fds[2] = {{m_listener.get(), POLLIN, 0}, {m_wakeRead.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        FdHandle client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client.valid())
            continue;
        m_connections.start(std::move(client), "control client", [this](SimStream& stream) {
            std::string line;
            for (;;) {
                char c = 0;
                stream.readExact(&c, 1);
                if (c != '\n') {
                    if (line.size() >= kMaxLine)
                        throw SimError("control line too long");
                    line += c;
                    continue;
                }
                stream.writeAll(runControlCommand(m_simulator, line) + "\n");
                line.clear();
            }
        });
    }
}

} // namespace iphonesim
