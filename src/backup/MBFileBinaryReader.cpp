#include "backup/MBFileBinaryReader.h"

#include <QtEndian>
#include <cstring>
#include <optional>

namespace MBFileBinaryReader {
namespace {

constexpr qsizetype HeaderSize = 8;
constexpr qsizetype TrailerSize = 32;

enum Marker : quint8
{
    MarkerInt = 0x10,
    MarkerData = 0x40,
    MarkerAscii = 0x50,
    MarkerUid = 0x80,
    MarkerArray = 0xA0,
    MarkerDict = 0xD0,
};

quint64 readBigEndian(const uchar* bytes, int width)
{
    quint64 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// The object table of one binary property list. Every accessor checks bounds and returns nothing for
// anything out of range or of an unexpected kind.
class BinaryList
{
public:
    bool open(const QByteArray& bytes)
    {
        m_data = reinterpret_cast<const uchar*>(bytes.constData());
        m_size = bytes.size();
        if (m_size < HeaderSize + TrailerSize || std::memcmp(m_data, "bplist00", 8) != 0)
            return false;
        const uchar* trailer = m_data + m_size - TrailerSize;
        m_offsetWidth = trailer[6];
        m_refWidth = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        m_topObject = readBigEndian(trailer + 16, 8);
        m_offsetTable = readBigEndian(trailer + 24, 8);
        const quint64 limit = static_cast<quint64>(m_size - TrailerSize);
        if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_refWidth < 1 || m_refWidth > 8)
            return false;
        if (m_objectCount == 0 || m_objectCount > limit || m_topObject >= m_objectCount)
            return false;
        return m_offsetTable >= HeaderSize && m_offsetTable <= limit &&
               m_objectCount * m_offsetWidth <= limit - m_offsetTable;
    }

    quint64 topObject() const { return m_topObject; }

    // Marker byte and the position after it, for object number ref.
    std::optional<qsizetype> objectStart(quint64 ref) const
    {
        if (ref >= m_objectCount)
            return std::nullopt;
        const quint64 offset = readBigEndian(m_data + m_offsetTable + ref * m_offsetWidth, m_offsetWidth);
        if (offset < HeaderSize || offset >= m_offsetTable)
            return std::nullopt;
        return static_cast<qsizetype>(offset);
    }

    quint8 marker(qsizetype start) const { return m_data[start]; }

    // Count of a data, string, array or dictionary object, and where its payload begins.
    std::optional<std::pair<quint64, qsizetype>> countAndPayload(qsizetype start) const
    {
        const quint8 low = m_data[start] & 0x0F;
        qsizetype position = start + 1;
        if (low != 0x0F)
            return std::make_pair(quint64(low), position);
        if (position >= bodyEnd() || (m_data[position] & 0xF0) != MarkerInt)
            return std::nullopt;
        const int width = 1 << (m_data[position] & 0x0F);
        if (width > 8 || position + 1 + width > bodyEnd())
            return std::nullopt;
        const quint64 count = readBigEndian(m_data + position + 1, width);
        return std::make_pair(count, position + 1 + width);
    }

    // Bytes [position, position + length) lie within the object area.
    bool fits(qsizetype position, quint64 length) const
    {
        return position <= bodyEnd() && length <= static_cast<quint64>(bodyEnd() - position);
    }

    // Only for positions container() has checked.
    quint64 reference(qsizetype position, quint64 index) const
    {
        return readBigEndian(m_data + position + index * m_refWidth, m_refWidth);
    }
    int refWidth() const { return m_refWidth; }
    const uchar* at(qsizetype position) const { return m_data + position; }

    // An unsigned integer object of 1, 2, 4 or 8 bytes (8-byte values keep their bits).
    std::optional<quint64> integer(quint64 ref) const
    {
        const auto start = objectStart(ref);
        if (!start || (marker(*start) & 0xF0) != MarkerInt)
            return std::nullopt;
        const int width = 1 << (marker(*start) & 0x0F);
        if (width > 8 || !fits(*start + 1, width))
            return std::nullopt;
        return readBigEndian(at(*start + 1), width);
    }

    std::optional<quint64> uid(quint64 ref) const
    {
        const auto start = objectStart(ref);
        if (!start || (marker(*start) & 0xF0) != MarkerUid)
            return std::nullopt;
        const int width = (marker(*start) & 0x0F) + 1;
        if (width > 8 || !fits(*start + 1, width))
            return std::nullopt;
        return readBigEndian(at(*start + 1), width);
    }

    // Bytes of a data object, or of an ASCII string without NUL or bytes above 0x7F, in place.
    std::optional<QByteArrayView> bytesOf(quint64 ref, quint8 kind) const
    {
        const auto start = objectStart(ref);
        if (!start || (marker(*start) & 0xF0) != kind)
            return std::nullopt;
        const auto counted = countAndPayload(*start);
        if (!counted || !fits(counted->second, counted->first))
            return std::nullopt;
        const QByteArrayView view(at(counted->second), static_cast<qsizetype>(counted->first));
        if (kind == MarkerAscii) {
            for (const char c : view) {
                if (c == 0 || static_cast<uchar>(c) > 0x7F)
                    return std::nullopt;
            }
        }
        return view;
    }

    // Key and value references of a dictionary, or the item references of an array.
    struct Container
    {
        quint64 count = 0;
        qsizetype refs = 0;
    };
    std::optional<Container> container(quint64 ref, quint8 kind) const
    {
        const auto start = objectStart(ref);
        if (!start || (marker(*start) & 0xF0) != kind)
            return std::nullopt;
        const auto counted = countAndPayload(*start);
        if (!counted)
            return std::nullopt;
        const quint64 perItem = (kind == MarkerDict ? 2 : 1) * static_cast<quint64>(m_refWidth);
        if (counted->first > static_cast<quint64>(m_size) / perItem ||
            !fits(counted->second, counted->first * perItem))
            return std::nullopt;
        return Container{counted->first, counted->second};
    }

    // The value of an ASCII key in a dictionary; the last one wins when a key repeats.
    std::optional<quint64> dictValue(const Container& dict, const char* key) const
    {
        std::optional<quint64> found;
        for (quint64 i = 0; i < dict.count; ++i) {
            const auto name = bytesOf(reference(dict.refs, i), MarkerAscii);
            if (name && *name == QByteArrayView(key))
                found = reference(dict.refs, dict.count + i);
        }
        return found;
    }

private:
    qsizetype bodyEnd() const { return static_cast<qsizetype>(m_offsetTable); }

    const uchar* m_data = nullptr;
    qsizetype m_size = 0;
    int m_offsetWidth = 0;
    int m_refWidth = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    quint64 m_offsetTable = 0;
};

// The MBFile fields this program keeps.
struct Fields
{
    std::optional<quint64> numbers[9];
    MbdbString target;
    MbdbString digest;
    MbdbString encryptionKey;
};

constexpr const char* NumberKeys[9] = {"Mode",    "InodeNumber",  "UserID",
                                       "GroupID", "LastModified", "LastStatusChange",
                                       "Birth",   "Size",         "ProtectionClass"};

} // namespace

Result read(const QByteArray& bytes, BackupFileRecord& record)
{
    BinaryList list;
    if (!list.open(bytes))
        return Unsupported;
    const auto archive = list.container(list.topObject(), MarkerDict);
    if (!archive)
        return Unsupported;
    const auto objectsRef = list.dictValue(*archive, "$objects");
    const auto topRef = list.dictValue(*archive, "$top");
    if (!objectsRef || !topRef)
        return Unsupported;
    const auto objects = list.container(*objectsRef, MarkerArray);
    const auto top = list.container(*topRef, MarkerDict);
    if (!objects || !top)
        return Unsupported;
    const auto rootValue = list.dictValue(*top, "root");
    const auto rootIndex = rootValue ? list.uid(*rootValue) : std::nullopt;
    if (!rootIndex || *rootIndex >= objects->count)
        return Unsupported;
    const auto root = list.container(list.reference(objects->refs, *rootIndex), MarkerDict);
    if (!root || root->count == 0)
        return Unsupported;

    Fields fields;
    for (quint64 i = 0; i < root->count; ++i) {
        const auto name = list.bytesOf(list.reference(root->refs, i), MarkerAscii);
        if (!name)
            return Unsupported; // a key this reader does not compare
        quint64 valueRef = list.reference(root->refs, root->count + i);
        // A UID value stands for the archived object it numbers.
        if (const auto index = list.uid(valueRef)) {
            if (*index >= objects->count)
                return Unsupported;
            valueRef = list.reference(objects->refs, *index);
        }
        bool known = false;
        for (int n = 0; n < 9; ++n) {
            if (*name == QByteArrayView(NumberKeys[n])) {
                fields.numbers[n] = list.integer(valueRef);
                if (!fields.numbers[n])
                    return Unsupported;
                known = true;
            }
        }
        if (known)
            continue;
        if (*name == QByteArrayView("Target")) {
            const auto text = list.bytesOf(valueRef, MarkerAscii);
            if (!text)
                return Unsupported;
            fields.target = text->isEmpty() ? MbdbString::absent() : MbdbString::of(text->toByteArray());
        } else if (*name == QByteArrayView("Digest") || *name == QByteArrayView("EncryptionKey")) {
            MbdbString value;
            if (const auto data = list.bytesOf(valueRef, MarkerData)) {
                value = MbdbString::of(data->toByteArray());
            } else if (const auto dict = list.container(valueRef, MarkerDict)) {
                const auto nsData = list.dictValue(*dict, "NS.data");
                if (!nsData)
                    return Unsupported;
                const auto data = list.bytesOf(*nsData, MarkerData);
                if (!data)
                    return Unsupported;
                value = MbdbString::of(data->toByteArray());
            } else {
                return Unsupported;
            }
            (*name == QByteArrayView("Digest") ? fields.digest : fields.encryptionKey) = value;
        }
    }

    auto number = [&](int n) { return fields.numbers[n].value_or(0); };
    record.mode = static_cast<quint16>(number(0));
    record.inode = number(1);
    record.userId = static_cast<quint32>(number(2));
    record.groupId = static_cast<quint32>(number(3));
    record.lastModified = static_cast<quint32>(number(4));
    record.lastStatusChange = static_cast<quint32>(number(5));
    record.birth = static_cast<quint32>(number(6));
    record.size = number(7);
    record.protectionClass = static_cast<quint8>(number(8));
    record.target = fields.target;
    record.digest = fields.digest;
    record.encryptionKey = fields.encryptionKey;
    return Decoded;
}

} // namespace MBFileBinaryReader
