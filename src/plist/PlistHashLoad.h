#pragma once

#include <plist/plist.h>

#include <QByteArrayView>
#include <array>
#include <memory>
#include <optional>
#include <vector>

// libplist 2.2 keeps the keys of a dictionary with more than 250 entries, and while writing a binary list
// every node it has written, in hash tables of 4096 fixed buckets whose chains it searches linearly. Keys
// or values chosen to fall into one bucket make parsing such a dictionary, copying it and writing a tree
// quadratic in their number. These helpers compute libplist's own hashes to bound the chain steps first.
namespace PlistHashLoad {

// Chain steps allowed for one parse or one binary write: a second or two of work at worst.
inline constexpr quint64 MaxProbes = 200'000'000;
inline constexpr int BucketCount = 4096;

// libplist's hash of a dictionary key.
quint32 dictKeyHash(QByteArrayView key);

// Upper bound of the chain steps plist_to_bin takes to write the tree below root; limit + 1 as soon as it
// is above limit.
quint64 binaryWriterProbes(plist_t root, quint64 limit);

// The keys of one dictionary as libplist inserts them, one by one: an upper bound of the steps.
class DictKeyLoad
{
public:
    // hash: dictKeyHash of the key's text, or nullopt when the text is not known exactly (the key may
    // then share a bucket with every other key). Returns the steps the insertion may take.
    quint64 addKey(std::optional<quint32> hash);

private:
    quint64 placeInTable(std::optional<quint32> hash);

    // libplist searches the first keys linearly and builds its table when there are more.
    static constexpr std::size_t LinearKeys = 250;
    std::vector<std::optional<quint32>> m_linearKeys;
    std::unique_ptr<std::array<quint32, BucketCount>> m_bucketSizes;
    quint64 m_tableKeys = 0;
    quint64 m_unknownTableKeys = 0;
};

} // namespace PlistHashLoad
