#include "plist/PlistDates.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace PlistDates {

namespace {

// About 3000 years: far beyond any real date, well inside QDateTime's range and 64-bit milliseconds.
constexpr double MaxSeconds = 1e11;

constexpr unsigned char BinaryDateMarker = 0x33;
constexpr int BinaryHeaderSize = 8; // "bplist00"; the first object follows

} // namespace

std::optional<double> storedSeconds(plist_t dateNode)
{
    if (plist_get_node_type(dateNode) != PLIST_DATE)
        return std::nullopt;
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(dateNode, &bytes, &length);
    const std::unique_ptr<char, void (*)(char*)> owner(bytes, plist_to_bin_free);
    // A lone date serialises as the header, then the date object: its marker and a big-endian double.
    if (!bytes || length < BinaryHeaderSize + 9 ||
        static_cast<unsigned char>(bytes[BinaryHeaderSize]) != BinaryDateMarker)
        return std::nullopt;
    quint64 bits = 0;
    for (int i = 1; i <= 8; ++i)
        bits = (bits << 8) | static_cast<unsigned char>(bytes[BinaryHeaderSize + i]);
    double seconds = 0;
    std::memcpy(&seconds, &bits, sizeof seconds);
    return seconds;
}

QDateTime toLocalDateTime(double seconds, qint64 offsetSeconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > MaxSeconds ||
        std::fabs(static_cast<double>(offsetSeconds)) > MaxSeconds)
        return QDateTime();
    const double whole = std::trunc(seconds);
    const qint64 wholeSeconds = static_cast<qint64>(whole);
    // Rounded: a value written with millisecond precision is not exact in binary and must not lose 1 ms.
    const qint64 microseconds = std::llround((seconds - whole) * 1e6);
    const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
    const qint64 msecs = (reference + offsetSeconds + wholeSeconds) * 1000 + microseconds / 1000;
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
    return QDateTime(local.date(), local.time(), Qt::LocalTime);
}

bool toStoredParts(const QDateTime& dateTime, qint32* seconds, qint32* microseconds)
{
    if (!dateTime.isValid())
        return false;
    const qint64 msecs = QDateTime(dateTime.date(), dateTime.time(), Qt::UTC).toMSecsSinceEpoch();
    const qint64 wholeSeconds = msecs / 1000 - ReferenceUnixSeconds;
    if (wholeSeconds < std::numeric_limits<qint32>::min() ||
        wholeSeconds > std::numeric_limits<qint32>::max())
        return false;
    *seconds = static_cast<qint32>(wholeSeconds);
    *microseconds = static_cast<qint32>((msecs % 1000) * 1000);
    return true;
}

} // namespace PlistDates
