#pragma once

#include "FdHandle.h"

#include <string>
#include <string_view>

namespace iphonesim {

// Writes a file through "<path>.tmp-<random>" and renames it into place on commit(), so a failure or a
// crash never leaves a half-written file under the final name. Without commit() the temporary is removed.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(const void* data, size_t length);
    // Sets the modification time the committed file will carry (Unix seconds); 0 keeps the current time.
    void setModificationTime(int64_t unixSeconds) { m_mtime = unixSeconds; }
    void commit();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_tempPath;
    FdHandle m_fd;
    int64_t m_mtime = 0;
    bool m_committed = false;
};

void writeFileAtomically(const std::string& path, std::string_view bytes);
// Reads a whole small file; throws SimError when missing or larger than maxBytes.
std::string readSmallFile(const std::string& path, size_t maxBytes = 64u << 20);

} // namespace iphonesim
