#pragma once

#include <unistd.h>
#include <utility>

namespace iphonesim {

// Owns one file descriptor and closes it once.
class FdHandle
{
public:
    FdHandle() = default;
    explicit FdHandle(int fd) : m_fd(fd) {}
    ~FdHandle() { reset(); }
    FdHandle(FdHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FdHandle& operator=(FdHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    FdHandle(const FdHandle&) = delete;
    FdHandle& operator=(const FdHandle&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

} // namespace iphonesim
