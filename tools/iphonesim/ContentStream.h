#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace iphonesim {

// Deterministic pseudo-random bytes (xoshiro256**), fast enough to fill gigabytes: the same seed always gives
// the same stream.
class ContentStream
{
public:
    explicit ContentStream(uint64_t seed);
    void fill(char* data, size_t length);
    uint64_t next();
    // Uniform in [0, bound).
    uint64_t below(uint64_t bound) { return bound ? next() % bound : 0; }

private:
    uint64_t m_state[4];
};

// 64-bit hash for deriving seeds and identifiers from names.
uint64_t hashText(std::string_view text, uint64_t seed = 0);
// Writes length deterministic bytes to a new file in chunks (never the whole file in memory), with the
// given modification time; throws SimError.
void writeGeneratedFile(const std::string& path, uint64_t seed, uint64_t length, int64_t mtime);
// Hexadecimal digits and UUIDs made from seeds.
std::string seededHex(uint64_t seed, size_t digits);
std::string seededUuid(uint64_t seed);

} // namespace iphonesim
