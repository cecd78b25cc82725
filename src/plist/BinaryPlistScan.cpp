#include "plist/BinaryPlistScan.h"

#include "plist/PlistLimits.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint64 HeaderSize = 8; // "bplist00"
constexpr quint64 TrailerSize = 32;

enum Marker : quint8
{
    MarkerNull = 0x00,
    MarkerUInt = 0x10,
    MarkerReal = 0x20,
    MarkerDate = 0x30,
    MarkerData = 0x40,
    MarkerAscii = 0x50,
    MarkerUnicode = 0x60,
    MarkerUid = 0x80,
    MarkerArray = 0xA0,
    MarkerSet = 0xC0,
    MarkerDict = 0xD0,
};

constexpr quint8 SizeInNextInteger = 0x0F;
constexpr quint8 MarkerFalse = 0x08;
constexpr quint8 MarkerTrue = 0x09;

bool takesSizeFromNextInteger(quint8 type)
{
    return type == MarkerData || type == MarkerAscii || type == MarkerUnicode || type == MarkerArray ||
           type == MarkerSet || type == MarkerDict;
}

} // namespace

BinaryPlistScan::BinaryPlistScan(QByteArrayView bytes) : m_bytes(bytes)
{
}

PlistScanVerdict BinaryPlistScan::check(QByteArrayView bytes)
{
    if (bytes.size() > PlistLimits::MaxInputBytes)
        return PlistScanVerdict::TooLarge;
    BinaryPlistScan scan(bytes);
    return scan.run();
}

// Big-endian unsigned integer of width bytes at offset at; the caller has checked that they lie inside the
// buffer. Like libplist, a width above 8 reads its last 8 bytes.
quint64 BinaryPlistScan::readUnsigned(quint64 at, quint64 width) const
{
    const quint64 end = at + width;
    const quint64 begin = width > 8 ? end - 8 : at;
    quint64 value = 0;
    for (quint64 i = begin; i < end; ++i)
        value = (value << 8) | static_cast<quint8>(m_bytes[static_cast<qsizetype>(i)]);
    return value;
}

PlistScanVerdict BinaryPlistScan::readTrailer()
{
    const quint64 size = static_cast<quint64>(m_bytes.size());
    if (size < HeaderSize + TrailerSize || std::memcmp(m_bytes.data(), "bplist00", HeaderSize) != 0)
        return PlistScanVerdict::Malformed;
    const quint64 trailer = size - TrailerSize;
    m_offsetSize = static_cast<quint8>(m_bytes[static_cast<qsizetype>(trailer + 6)]);
    m_refSize = static_cast<quint8>(m_bytes[static_cast<qsizetype>(trailer + 7)]);
    m_objectCount = readUnsigned(trailer + 8, 8);
    m_rootIndex = readUnsigned(trailer + 16, 8);
    m_offsetTable = readUnsigned(trailer + 24, 8);
    if (m_objectCount == 0 || m_offsetSize == 0 || m_refSize == 0 || m_rootIndex >= m_objectCount)
        return PlistScanVerdict::Malformed;
    if (m_offsetTable < HeaderSize || m_offsetTable >= trailer)
        return PlistScanVerdict::Malformed;
    if (m_objectCount > (trailer - m_offsetTable) / m_offsetSize)
        return PlistScanVerdict::Malformed;
    return PlistScanVerdict::Accept;
}

// Reads the marker of one object: a leaf with the payload libplist will allocate for it, or a container
// with the position and number of its references. False when libplist would fail on the object.
bool BinaryPlistScan::describe(quint64 index, Object* object) const
{
    const quint64 offset = readUnsigned(m_offsetTable + index * m_offsetSize, m_offsetSize);
    if (offset >= m_offsetTable)
        return false;
    quint64 at = offset;
    const quint8 marker = static_cast<quint8>(m_bytes[static_cast<qsizetype>(at++)]);
    const quint8 type = marker & 0xF0;
    quint64 size = marker & 0x0F;
    if (size == SizeInNextInteger && takesSizeFromNextInteger(type)) {
        // at <= m_offsetTable here, and the offset table and trailer follow, so this byte exists.
        const quint8 sizeMarker = static_cast<quint8>(m_bytes[static_cast<qsizetype>(at)]);
        if ((sizeMarker & 0xF0) != MarkerUInt)
            return false;
        const quint64 width = quint64(1) << (sizeMarker & 0x0F);
        ++at;
        if (at + width > m_offsetTable)
            return false;
        size = readUnsigned(at, width);
        at += width;
    }
    const quint64 room = m_offsetTable - at;
    *object = Object();
    switch (type) {
    case MarkerNull:
        return size == MarkerFalse || size == MarkerTrue;
    case MarkerUInt:
        return (quint64(1) << size) <= room && size <= 4;
    case MarkerReal:
        return (quint64(1) << size) <= room && (size == 2 || size == 3);
    case MarkerDate:
        return size == 3 && room >= 8;
    case MarkerData:
        object->payload = size;
        return size <= room;
    case MarkerAscii:
        object->payload = size + 1;
        return size <= room;
    case MarkerUnicode:
        // libplist converts to UTF-8 in a buffer of four bytes per unit and fails on an empty string.
        object->payload = 4 * (size + 1);
        if (size == 0 || size > room / 2)
            return false;
        for (quint64 unit = at; unit < at + 2 * size; unit += 2) {
            if (m_bytes[static_cast<qsizetype>(unit)] == '\0' &&
                m_bytes[static_cast<qsizetype>(unit + 1)] == '\0')
                object->nulInString = true;
        }
        return true;
    case MarkerUid:
        return size + 1 <= room && readUnsigned(at, size + 1) <= 0xFFFFFFFFu;
    case MarkerArray:
    case MarkerSet:
        object->container = true;
        object->refsAt = at;
        object->refCount = size;
        return size <= room / m_refSize;
    case MarkerDict:
        object->container = true;
        object->refsAt = at;
        object->refCount = 2 * size;
        return size <= room / (2 * quint64(m_refSize));
    default:
        return false;
    }
}

PlistScanVerdict BinaryPlistScan::run()
{
    const PlistScanVerdict trailer = readTrailer();
    if (trailer != PlistScanVerdict::Accept)
        return trailer;
    const qint64 size = m_bytes.size();
    m_maxNodes = PlistLimits::maxExpandedNodes(size);
    m_maxPayload = PlistLimits::maxExpandedPayloadBytes(size);
    // Every object of a genuine list is reachable from the root, so a larger table is refused; this also
    // bounds the memory of the walk.
    if (m_objectCount > static_cast<quint64>(m_maxNodes))
        return PlistScanVerdict::TooLarge;
    m_summaries.assign(m_objectCount, Summary());

    PlistScanVerdict verdict = enter(m_rootIndex);
    while (verdict == PlistScanVerdict::Accept && !m_path.empty()) {
        Frame& top = m_path.back();
        if (top.nextRef < top.object.refCount) {
            const quint64 ref = readUnsigned(top.object.refsAt + top.nextRef * m_refSize, m_refSize);
            ++top.nextRef;
            verdict = ref < m_objectCount ? enter(ref) : PlistScanVerdict::Malformed;
            continue;
        }
        const Frame done = top;
        m_path.pop_back();
        m_summaries[done.index] =
            Summary{static_cast<quint32>(done.nodes), static_cast<quint32>(done.payload),
                    static_cast<quint16>(done.height), 2};
        verdict = add(done.nodes, done.payload, done.height);
    }
    return verdict;
}

// Visits object index below the current path: measured objects are counted again (libplist copies
// them), leaves are measured at once and containers are pushed onto the path.
PlistScanVerdict BinaryPlistScan::enter(quint64 index)
{
    Summary& summary = m_summaries[index];
    const quint64 depth = m_path.size();
    if (summary.state == 1)
        return PlistScanVerdict::Malformed; // libplist refuses an object that contains itself
    if (summary.state == 2) {
        if (depth + summary.height > static_cast<quint64>(PlistLimits::MaxDepth))
            return PlistScanVerdict::TooDeep;
        return add(summary.nodes, summary.payload, summary.height);
    }
    if (depth + 1 > static_cast<quint64>(PlistLimits::MaxDepth))
        return PlistScanVerdict::TooDeep;
    Object object;
    if (!describe(index, &object))
        return PlistScanVerdict::Malformed;
    if (object.nulInString)
        return PlistScanVerdict::NulInString;
    if (!object.container) {
        const PlistScanVerdict verdict = add(1, object.payload, 1);
        if (verdict == PlistScanVerdict::Accept)
            summary = Summary{1, static_cast<quint32>(object.payload), 1, 2};
        return verdict;
    }
    summary.state = 1;
    Frame frame;
    frame.index = index;
    frame.object = object;
    m_path.push_back(frame);
    return PlistScanVerdict::Accept;
}

// Adds a measured child to the container on top of the path (or records the root).
PlistScanVerdict BinaryPlistScan::add(quint64 nodes, quint64 payload, quint64 height)
{
    if (m_path.empty()) {
        const bool fits =
            nodes <= static_cast<quint64>(m_maxNodes) && payload <= static_cast<quint64>(m_maxPayload);
        return fits ? PlistScanVerdict::Accept : PlistScanVerdict::TooLarge;
    }
    Frame& top = m_path.back();
    top.nodes += nodes;
    top.payload += payload;
    top.height = std::max(top.height, height + 1);
    if (top.nodes > static_cast<quint64>(m_maxNodes) || top.payload > static_cast<quint64>(m_maxPayload))
        return PlistScanVerdict::TooLarge;
    return PlistScanVerdict::Accept;
}
