#pragma once

#include <QtGlobal>

#include <compare>
#include <span>
#include <vector>

// Row keys of a message table by a 64-bit hash of each message's identity, as a merge's one pass over a
// large store collects them. The hashes are uniform, so after build() a table of buckets by their top
// bits leads a look-up straight to a handful of entries: no tree, no binary search over the whole list.
class MessageKeyIndex
{
public:
    struct Entry
    {
        quint64 hash;
        qint64 rowKey;
        auto operator<=>(const Entry&) const = default;
    };

    void clear();
    void reserve(size_t count) { m_entries.reserve(count); }
    void add(quint64 hash, qint64 rowKey) { m_entries.push_back({hash, rowKey}); }
    // Sorts what was added; look-ups are valid from then on (and until the next add).
    void build();
    // The entries of this hash, by ascending row key.
    std::span<const Entry> find(quint64 hash) const;
    size_t size() const { return m_entries.size(); }

private:
    size_t bucketOf(quint64 hash) const { return size_t(hash >> m_shift); }

    std::vector<Entry> m_entries;
    std::vector<size_t> m_bucketStarts; // bucket b holds m_entries[starts[b], starts[b + 1])
    int m_shift = 64;                   // 64 - the bits of a bucket number
};
