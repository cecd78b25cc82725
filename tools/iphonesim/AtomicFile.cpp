#include "AtomicFile.h"

#include "SimError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/time.h>

namespace iphonesim {

namespace {

std::string errnoText()
{
    return std::strerror(errno);
}

std::string randomSuffix()
{
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string suffix;
    uint64_t value = generator();
    for (int i = 0; i < 12; ++i, value >>= 4)
        suffix += digits[value & 15];
    return suffix;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : m_path(std::move(path))
{
    m_tempPath = m_path + ".tmp-" + randomSuffix();
    m_fd.reset(::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!m_fd.valid())
        throw SimError("cannot create " + m_tempPath + ": " + errnoText());
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!m_committed) {
        m_fd.reset();
        ::unlink(m_tempPath.c_str());
    }
}

void AtomicFileWriter::write(const void* data, size_t length)
{
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t written = ::write(m_fd.get(), bytes, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw SimError("cannot write " + m_tempPath + ": " + errnoText());
        }
        bytes += written;
        length -= size_t(written);
    }
}

void AtomicFileWriter::commit()
{
    if (m_mtime != 0) {
        const timespec times[2] = {{m_mtime, 0}, {m_mtime, 0}};
        ::futimens(m_fd.get(), times);
    }
    if (::close(m_fd.release()) != 0)
        throw SimError("cannot write " + m_tempPath + ": " + errnoText());
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0)
        throw SimError("cannot rename " + m_tempPath + " to " + m_path + ": " + errnoText());
    m_committed = true;
}

void writeFileAtomically(const std::string& path, std::string_view bytes)
{
    AtomicFileWriter writer(path);
    writer.write(bytes.data(), bytes.size());
    writer.commit();
}

std::string readSmallFile(const std::string& path, size_t maxBytes)
{
    FdHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        throw SimError("cannot open " + path + ": " + errnoText());
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw SimError(path + " is not a regular file");
    if (size_t(info.st_size) > maxBytes)
        throw SimError(path + " is too large");
    std::string bytes(size_t(info.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw SimError("cannot read " + path);
        done += size_t(got);
    }
    return bytes;
}

} // namespace iphonesim
