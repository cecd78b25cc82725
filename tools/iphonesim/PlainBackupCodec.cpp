#include "PlainBackupCodec.h"

#include "AtomicFile.h"
#include "FdHandle.h"
#include "SimError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace iphonesim {

namespace {

class FileSource : public ContentSource
{
public:
    FileSource(const std::string& path, uint64_t expectedSize) : m_path(path), m_remaining(expectedSize)
    {
        m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!m_fd.valid())
            throw SimError("cannot open " + path + ": " + std::strerror(errno));
        ::posix_fadvise(m_fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }

    // Delivers exactly the size recorded in the manifest: a file that shrank since the scan is an error,
    // bytes it gained are not sent.
    size_t read(char* buffer, size_t capacity) override
    {
        if (m_remaining == 0)
            return 0;
        const size_t wanted = size_t(std::min<uint64_t>(capacity, m_remaining));
        for (;;) {
            const ssize_t got = ::read(m_fd.get(), buffer, wanted);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw SimError("cannot read " + m_path + ": " + std::strerror(errno));
            if (got == 0)
                throw SimError(m_path + " shrank while it was backed up");
            m_remaining -= uint64_t(got);
            return size_t(got);
        }
    }

private:
    std::string m_path;
    FdHandle m_fd;
    uint64_t m_remaining;
};

class FileSink : public ContentSink
{
public:
    explicit FileSink(AtomicFileWriter& file) : m_file(file) {}
    void write(const char* data, size_t length) override { m_file.write(data, length); }
    void finish() override {}

private:
    AtomicFileWriter& m_file;
};

class LimitedFileSink : public ContentSink
{
public:
    LimitedFileSink(const std::string& path, uint64_t maxBytes) : m_file(path), m_remaining(maxBytes) {}
    void write(const char* data, size_t length) override
    {
        if (length > m_remaining)
            throw SimError(m_file.path() + " is larger than the device accepts");
        m_remaining -= length;
        m_file.write(data, length);
    }
    void finish() override { m_file.commit(); }

private:
    AtomicFileWriter m_file;
    uint64_t m_remaining;
};

} // namespace

std::unique_ptr<ContentSink> openLimitedFileSink(const std::string& path, uint64_t maxBytes)
{
    return std::make_unique<LimitedFileSink>(path, maxBytes);
}

std::unique_ptr<ContentSource> openFileSource(const std::string& path, uint64_t size)
{
    return std::make_unique<FileSource>(path, size);
}

std::unique_ptr<ContentSink> openFileSink(AtomicFileWriter& file)
{
    return std::make_unique<FileSink>(file);
}

bool PlainBackupCodec::acceptsPrevious(plist_t manifest)
{
    return !dictBool(manifest, "IsEncrypted").value_or(false);
}

bool PlainBackupCodec::prepareEntry(ManifestEntry& entry, const ManifestEntry* previous)
{
    // No keys; the data-protection class the plan set is still recorded, as devices do. The host's copy of
    // an unchanged file is its plain content, valid as it is.
    entry.encryptionKey.clear();
    return previous != nullptr;
}

std::string PlainBackupCodec::fileRecord(const ManifestEntry& entry)
{
    return encodeMbFile(entry);
}

std::unique_ptr<ContentSource> PlainBackupCodec::openContent(const ManifestEntry& entry,
                                                             const std::string& localPath)
{
    return openFileSource(localPath, entry.size);
}

void PlainBackupCodec::addManifestProperties(plist_t manifest)
{
    dictSetBool(manifest, "IsEncrypted", false);
}

bool PlainBackupCodec::readFileRecord(const std::string& record, ManifestEntry& entry)
{
    return decodeMbFile(record, entry);
}

std::unique_ptr<ContentSink> PlainBackupCodec::restoreContent(const ManifestEntry&, AtomicFileWriter& file)
{
    return openFileSink(file);
}

} // namespace iphonesim
