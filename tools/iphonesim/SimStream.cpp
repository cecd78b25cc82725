#include "SimStream.h"

#include "SimError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <openssl/err.h>
#include <sys/socket.h>
#include <sys/time.h>

namespace iphonesim {

SimStream::SimStream(FdHandle fd) : m_fd(std::move(fd))
{
}

SimStream::~SimStream() = default;

void SimStream::setReceiveTimeout(int seconds)
{
    timeval timeout = {seconds, 0};
    ::setsockopt(m_fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

void SimStream::readExact(void* data, size_t length)
{
    char* bytes = static_cast<char*>(data);
    while (length > 0) {
        const size_t got = readSome(bytes, length);
        bytes += got;
        length -= got;
    }
}

size_t SimStream::readSome(void* data, size_t length)
{
    if (m_aborted)
        throw ConnectionClosed("connection cut");
    if (length == 0)
        return 0;
    if (m_ssl) {
        const int chunk = int(std::min<size_t>(length, 1 << 30));
        const int got = SSL_read(m_ssl.get(), data, chunk);
        if (got > 0)
            return size_t(got);
        throwTlsError(got, "TLS read");
    }
    for (;;) {
        const ssize_t got = ::recv(m_fd.get(), data, length, 0);
        if (got > 0)
            return size_t(got);
        if (got == 0)
            throw ConnectionClosed("peer closed the connection");
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            throw ConnectionClosed("receive timed out");
        throw ConnectionClosed(std::string("receive failed: ") + std::strerror(errno));
    }
}

void SimStream::writeAll(const void* data, size_t length)
{
    if (m_aborted)
        throw ConnectionClosed("connection cut");
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        if (m_ssl) {
            const int chunk = int(std::min<size_t>(length, 1 << 30));
            const int sent = SSL_write(m_ssl.get(), bytes, chunk);
            if (sent <= 0)
                throwTlsError(sent, "TLS write");
            bytes += sent;
            length -= size_t(sent);
            m_bytesWritten += uint64_t(sent);
            continue;
        }
        const ssize_t sent = ::send(m_fd.get(), bytes, length, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            throw ConnectionClosed(std::string("send failed: ") + std::strerror(errno));
        }
        bytes += sent;
        length -= size_t(sent);
        m_bytesWritten += uint64_t(sent);
    }
}

void SimStream::startTls(SSL_CTX* context)
{
    SslPtr ssl(SSL_new(context));
    if (!ssl)
        throw SimError("cannot create a TLS session");
    if (SSL_set_fd(ssl.get(), m_fd.get()) != 1)
        throw SimError("cannot attach the TLS session");
    m_ssl = std::move(ssl);
    const int result = SSL_accept(m_ssl.get());
    if (result != 1) {
        try {
            throwTlsError(result, "TLS handshake");
        } catch (...) {
            m_ssl.reset();
            throw;
        }
    }
}

X509Ptr SimStream::peerCertificate() const
{
    if (!m_ssl)
        return nullptr;
    return X509Ptr(SSL_get1_peer_certificate(m_ssl.get()));
}

void SimStream::finishTlsAfterPeerShutdown()
{
    if (!m_ssl)
        return;
    char scratch[256];
    for (;;) {
        const int got = SSL_read(m_ssl.get(), scratch, sizeof scratch);
        if (got > 0)
            continue; // data after StopSession has no meaning; drop it
        const int error = SSL_get_error(m_ssl.get(), got);
        if (error == SSL_ERROR_ZERO_RETURN)
            break;
        throwTlsError(got, "TLS shutdown");
    }
    // The client does not wait for our close_notify and reads plain text next, so none is sent.
    SSL_set_quiet_shutdown(m_ssl.get(), 1);
    SSL_shutdown(m_ssl.get());
    m_ssl.reset();
}

void SimStream::abort()
{
    m_aborted = true;
    ::shutdown(m_fd.get(), SHUT_RDWR);
}

void SimStream::throwTlsError(int result, const char* what)
{
    const int error = SSL_get_error(m_ssl.get(), result);
    const unsigned long detail = ERR_get_error();
    ERR_clear_error();
    if (error == SSL_ERROR_ZERO_RETURN)
        throw ConnectionClosed(std::string(what) + ": peer ended the TLS session");
    if (error == SSL_ERROR_SYSCALL || error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ||
        m_aborted)
        throw ConnectionClosed(std::string(what) + ": connection closed");
    char text[256] = "unknown error";
    if (detail)
        ERR_error_string_n(detail, text, sizeof text);
    throw SimError(std::string(what) + " failed: " + text);
}

} // namespace iphonesim
