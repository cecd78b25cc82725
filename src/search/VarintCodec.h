#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

// Unsigned LEB128 integers and zig-zag signed ones: the compact lists the search index keeps.
namespace VarintCodec {

void append(QByteArray& out, std::uint64_t value);
void appendSigned(QByteArray& out, std::int64_t value);

// Reads one integer at offset, advancing it; false at the end of the bytes or on a truncated integer.
bool read(QByteArrayView bytes, qsizetype& offset, std::uint64_t& value);
bool readSigned(QByteArrayView bytes, qsizetype& offset, std::int64_t& value);

} // namespace VarintCodec
