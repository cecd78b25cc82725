#include "search/VarintCodec.h"

void VarintCodec::append(QByteArray& out, std::uint64_t value)
{
    while (value >= 0x80) {
        out.append(char(0x80 | (value & 0x7F)));
        value >>= 7;
    }
    out.append(char(value));
}

void VarintCodec::appendSigned(QByteArray& out, std::int64_t value)
{
    append(out, (std::uint64_t(value) << 1) ^ std::uint64_t(value >> 63));
}

bool VarintCodec::read(QByteArrayView bytes, qsizetype& offset, std::uint64_t& value)
{
    value = 0;
    for (int shift = 0; shift < 64 && offset < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[offset++]);
        value |= std::uint64_t(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

bool VarintCodec::readSigned(QByteArrayView bytes, qsizetype& offset, std::int64_t& value)
{
    std::uint64_t raw = 0;
    if (!read(bytes, offset, raw))
        return false;
    value = std::int64_t(raw >> 1) ^ -std::int64_t(raw & 1);
    return true;
}
