#include "ContentStream.h"

#include "FdHandle.h"
#include "SimError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace iphonesim {

namespace {

uint64_t splitMix(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t rotateLeft(uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

} // namespace

ContentStream::ContentStream(uint64_t seed)
{
    uint64_t state = seed;
    for (uint64_t& word : m_state)
        word = splitMix(state);
}

uint64_t ContentStream::next()
{
    const uint64_t result = rotateLeft(m_state[1] * 5, 7) * 9;
    const uint64_t shifted = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= shifted;
    m_state[3] = rotateLeft(m_state[3], 45);
    return result;
}

void ContentStream::fill(char* data, size_t length)
{
    while (length >= 8) {
        const uint64_t word = next();
        std::memcpy(data, &word, 8);
        data += 8;
        length -= 8;
    }
    if (length) {
        const uint64_t word = next();
        std::memcpy(data, &word, length);
    }
}

uint64_t hashText(std::string_view text, uint64_t seed)
{
    // FNV-1a, then mixed, so that similar names give unrelated values.
    uint64_t hash = 0xcbf29ce484222325ull ^ seed;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return splitMix(hash);
}

void writeGeneratedFile(const std::string& path, uint64_t seed, uint64_t length, int64_t mtime)
{
    FdHandle fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.valid())
        throw SimError("cannot create " + path + ": " + std::strerror(errno));
    ContentStream content(seed);
    static thread_local std::vector<char> buffer(1 << 20);
    while (length > 0) {
        const size_t chunk = size_t(std::min<uint64_t>(length, buffer.size()));
        content.fill(buffer.data(), chunk);
        size_t done = 0;
        while (done < chunk) {
            const ssize_t written = ::write(fd.get(), buffer.data() + done, chunk - done);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                throw SimError("cannot write " + path + ": " + std::strerror(errno));
            }
            done += size_t(written);
        }
        length -= chunk;
    }
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    ::futimens(fd.get(), times);
}

std::string seededHex(uint64_t seed, size_t digits)
{
    static const char hex[] = "0123456789abcdef";
    ContentStream stream(seed);
    std::string text;
    uint64_t word = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (i % 16 == 0)
            word = stream.next();
        text += hex[word & 15];
        word >>= 4;
    }
    return text;
}

std::string seededUuid(uint64_t seed)
{
    std::string hex = seededHex(seed, 32);
    for (char& c : hex)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    hex[12] = '4';
    return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) +
           "-" + hex.substr(20, 12);
}

} // namespace iphonesim
