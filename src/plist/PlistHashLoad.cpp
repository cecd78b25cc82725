#include "plist/PlistHashLoad.h"

#include "plist/PlistChildCursor.h"
#include "plist/PlistDates.h"

#include <QHash>
#include <QSet>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace PlistHashLoad {

namespace {

// djb2 as libplist computes it, over plain (platform-signed) chars.
quint32 djb2(quint32 hash, const char* bytes, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        hash = (hash << 5) + hash + static_cast<quint32>(static_cast<int>(bytes[i]));
    return hash;
}

int bucketOf(quint32 hash)
{
    return static_cast<int>(hash & (BucketCount - 1));
}

// What libplist's writer hashes for one node: its type and the bytes of its value (the node's address for
// data and containers, which are never merged).
struct WriterKey
{
    int type = 0;
    QByteArray bytes;
};

template <typename T>
QByteArray rawBytes(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

WriterKey writerKey(plist_t node)
{
    WriterKey key;
    const plist_type type = plist_get_node_type(node);
    key.type = static_cast<int>(type);
    switch (type) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        key.bytes = QByteArray(8, '\0');
        key.bytes[0] = static_cast<char>(value);
        break;
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        key.bytes = rawBytes(value);
        break;
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        key.bytes = rawBytes(value);
        break;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        key.bytes = rawBytes(value);
        break;
    }
    case PLIST_DATE:
        key.bytes = rawBytes(PlistDates::storedSeconds(node).value_or(0));
        break;
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        key.bytes = QByteArray(text, static_cast<qsizetype>(length));
        break;
    }
    case PLIST_KEY: {
        char* text = nullptr;
        plist_get_key_val(node, &text);
        key.bytes = QByteArray(text);
        std::free(text);
        break;
    }
    default:
        key.bytes = rawBytes(node);
        break;
    }
    return key;
}

bool isContainer(plist_t node)
{
    const plist_type type = plist_get_node_type(node);
    return type == PLIST_ARRAY || type == PLIST_DICT;
}

} // namespace

quint32 dictKeyHash(QByteArrayView key)
{
    return djb2(5381, key.data(), key.size());
}

quint64 binaryWriterProbes(plist_t root, quint64 limit)
{
    if (!root)
        return 0;
    // Per bucket: nodes written and distinct values (equal values share one chain entry).
    std::vector<quint64> nodes(BucketCount, 0);
    std::vector<quint64> distinct(BucketCount, 0);
    QSet<QByteArray> seen;
    const auto count = [&](plist_t node) {
        const WriterKey key = writerKey(node);
        const int bucket =
            bucketOf(djb2(static_cast<quint32>(key.type) + 5381, key.bytes.constData(), key.bytes.size()));
        ++nodes[bucket];
        const QByteArray identity = QByteArray::number(key.type) + ':' + key.bytes;
        if (!seen.contains(identity)) {
            seen.insert(identity);
            ++distinct[bucket];
        }
    };
    count(root);
    std::vector<std::unique_ptr<PlistChildCursor>> path;
    if (isContainer(root))
        path.push_back(std::make_unique<PlistChildCursor>(root));
    while (!path.empty()) {
        plist_t key = nullptr;
        plist_t child = path.back()->next(&key);
        if (!child) {
            path.pop_back();
            continue;
        }
        if (key)
            count(key);
        count(child);
        if (isContainer(child))
            path.push_back(std::make_unique<PlistChildCursor>(child));
    }
    // Each node looks its value up and, when new, inserts it: two walks of at most its chain.
    quint64 probes = 0;
    for (int bucket = 0; bucket < BucketCount; ++bucket) {
        probes += 2 * nodes[bucket] * distinct[bucket];
        if (probes > limit)
            return limit + 1;
    }
    return probes;
}

quint64 DictKeyLoad::addKey(std::optional<quint32> hash)
{
    if (!m_bucketSizes && m_linearKeys.size() < LinearKeys) {
        m_linearKeys.push_back(hash);
        return 2 * m_linearKeys.size(); // a linear search for the key, then the insertion
    }
    quint64 probes = 0;
    if (!m_bucketSizes) {
        m_bucketSizes = std::make_unique<std::array<quint32, BucketCount>>();
        m_bucketSizes->fill(0);
        for (const std::optional<quint32>& earlier : m_linearKeys)
            probes += placeInTable(earlier);
        m_linearKeys.clear();
        m_linearKeys.shrink_to_fit();
    }
    return probes + placeInTable(hash);
}

// Looking a key up and inserting it each walk the chain of its bucket. A key of unknown text may meet
// every key before it, and every later key may meet it.
quint64 DictKeyLoad::placeInTable(std::optional<quint32> hash)
{
    quint64 probes = 0;
    if (hash) {
        quint32& bucketSize = (*m_bucketSizes)[static_cast<std::size_t>(bucketOf(*hash))];
        probes = 2 * (bucketSize + m_unknownTableKeys) + 1;
        ++bucketSize;
    } else {
        probes = 2 * m_tableKeys + 1;
        ++m_unknownTableKeys;
    }
    ++m_tableKeys;
    return probes;
}

} // namespace PlistHashLoad
