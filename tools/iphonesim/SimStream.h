#pragma once

#include "FdHandle.h"
#include "OpenSslHandles.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace iphonesim {

// One connection between a client and the simulated device (or usbmuxd): blocking reads and writes on a
// stream socket, optionally inside a TLS session where the device is the server. Failures throw
// ConnectionClosed (peer gone, connection cut) or SimError.
class SimStream
{
public:
    explicit SimStream(FdHandle fd);
    ~SimStream();
    SimStream(const SimStream&) = delete;
    SimStream& operator=(const SimStream&) = delete;

    int fd() const { return m_fd.get(); }
    // Reads then fail after this many seconds without data (0: wait forever).
    void setReceiveTimeout(int seconds);

    void readExact(void* data, size_t length);
    // At least one byte, at most length.
    size_t readSome(void* data, size_t length);
    void writeAll(const void* data, size_t length);
    void writeAll(const std::string& bytes) { writeAll(bytes.data(), bytes.size()); }

    // Server side of a TLS handshake on this connection. The client presents a certificate of the
    // pairing, which the caller can read with peerCertificate().
    void startTls(SSL_CTX* context);
    bool tlsActive() const { return m_ssl != nullptr; }
    X509Ptr peerCertificate() const;
    // The client has ended the TLS session (close_notify) and goes on in plain text: consumes the alert
    // and drops the session without answering it, as the device does.
    void finishTlsAfterPeerShutdown();

    // Cuts the connection; any thread may call it. Blocked calls end with ConnectionClosed.
    void abort();
    bool aborted() const { return m_aborted.load(); }

    // Bytes written since the connection opened (fault injection counts on it).
    uint64_t bytesWritten() const { return m_bytesWritten; }

private:
    [[noreturn]] void throwTlsError(int result, const char* what);

    FdHandle m_fd;
    SslPtr m_ssl;
    std::atomic<bool> m_aborted{false};
    uint64_t m_bytesWritten = 0;
};

} // namespace iphonesim
