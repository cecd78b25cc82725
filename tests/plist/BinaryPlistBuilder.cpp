#include "BinaryPlistBuilder.h"

#include <cstring>

namespace {

QByteArray bigEndian(quint64 value, int width)
{
    QByteArray bytes(width, '\0');
    for (int i = width - 1; i >= 0; --i) {
        bytes[i] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

} // namespace

quint64 BinaryPlistBuilder::add(const QByteArray& object)
{
    m_objects.append(object);
    return static_cast<quint64>(m_objects.size() - 1);
}

QByteArray BinaryPlistBuilder::marker(quint8 type, quint64 count)
{
    if (count < 15)
        return QByteArray(1, static_cast<char>(type | count));
    return QByteArray(1, static_cast<char>(type | 0x0F)) + integer(count);
}

QByteArray BinaryPlistBuilder::refs(const QList<quint64>& values) const
{
    QByteArray bytes;
    for (quint64 value : values)
        bytes += bigEndian(value, m_refSize);
    return bytes;
}

QByteArray BinaryPlistBuilder::array(const QList<quint64>& refValues) const
{
    return marker(0xA0, static_cast<quint64>(refValues.size())) + refs(refValues);
}

QByteArray BinaryPlistBuilder::dict(const QList<quint64>& keyRefs, const QList<quint64>& valueRefs) const
{
    return marker(0xD0, static_cast<quint64>(keyRefs.size())) + refs(keyRefs) + refs(valueRefs);
}

QByteArray BinaryPlistBuilder::ascii(const QByteArray& text)
{
    return marker(0x50, static_cast<quint64>(text.size())) + text;
}

QByteArray BinaryPlistBuilder::data(const QByteArray& bytes)
{
    return marker(0x40, static_cast<quint64>(bytes.size())) + bytes;
}

QByteArray BinaryPlistBuilder::uid(quint32 value)
{
    return QByteArray(1, static_cast<char>(0x83)) + bigEndian(value, 4);
}

QByteArray BinaryPlistBuilder::integer(quint64 value)
{
    return QByteArray(1, static_cast<char>(0x13)) + bigEndian(value, 8);
}

QByteArray BinaryPlistBuilder::date(double seconds)
{
    quint64 bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    return QByteArray(1, static_cast<char>(0x33)) + bigEndian(bits, 8);
}

QByteArray BinaryPlistBuilder::build(quint64 root, qint64 objectCount) const
{
    QByteArray bytes("bplist00");
    QList<quint64> offsets;
    for (const QByteArray& object : m_objects) {
        offsets.append(static_cast<quint64>(bytes.size()));
        bytes += object;
    }
    const quint64 tableOffset = static_cast<quint64>(bytes.size());
    const int offsetSize = tableOffset < 0x100 ? 1 : tableOffset < 0x10000 ? 2 : 4;
    for (quint64 offset : offsets)
        bytes += bigEndian(offset, offsetSize);
    bytes += QByteArray(6, '\0');
    bytes += static_cast<char>(offsetSize);
    bytes += static_cast<char>(m_refSize);
    bytes += bigEndian(
        objectCount >= 0 ? static_cast<quint64>(objectCount) : static_cast<quint64>(offsets.size()), 8);
    bytes += bigEndian(root, 8);
    bytes += bigEndian(tableOffset, 8);
    return bytes;
}
