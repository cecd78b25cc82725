#include "line/MessageKeyIndex.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace {

// About eight entries per bucket; a million rows take 1 MiB of bucket starts.
constexpr int kEntriesPerBucketBits = 3;
constexpr int kMinBucketBits = 4;
constexpr int kMaxBucketBits = 24;

} // namespace

void MessageKeyIndex::clear()
{
    m_entries = {};
    m_bucketStarts = {};
    m_shift = 64;
}

void MessageKeyIndex::build()
{
    const int bits = std::clamp(int(std::bit_width(m_entries.size())) - kEntriesPerBucketBits, kMinBucketBits,
                                kMaxBucketBits);
    m_shift = 64 - bits;
    const size_t buckets = size_t(1) << bits;

    // A counting sort by bucket, then each small bucket sorted in place: far fewer cache misses than
    // sorting the whole list.
    m_bucketStarts.assign(buckets + 1, 0);
    for (const Entry& entry : m_entries)
        ++m_bucketStarts[bucketOf(entry.hash) + 1];
    for (size_t b = 0; b < buckets; ++b)
        m_bucketStarts[b + 1] += m_bucketStarts[b];
    // The copy is written whole before it is read: no need to clear it first.
    const auto sorted = std::make_unique_for_overwrite<Entry[]>(m_entries.size());
    std::vector<size_t> next(m_bucketStarts.begin(), m_bucketStarts.end() - 1);
    for (const Entry& entry : m_entries)
        sorted[next[bucketOf(entry.hash)]++] = entry;
    std::copy(sorted.get(), sorted.get() + m_entries.size(), m_entries.begin());
    for (size_t b = 0; b < buckets; ++b)
        std::sort(m_entries.begin() + m_bucketStarts[b], m_entries.begin() + m_bucketStarts[b + 1]);
}

std::span<const MessageKeyIndex::Entry> MessageKeyIndex::find(quint64 hash) const
{
    if (m_bucketStarts.empty())
        return {};
    const size_t bucket = bucketOf(hash);
    const auto first = m_entries.begin() + m_bucketStarts[bucket];
    const auto last = m_entries.begin() + m_bucketStarts[bucket + 1];
    const auto [from, to] = std::equal_range(first, last, Entry{hash, 0},
                                             [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
    return {from, to};
}
