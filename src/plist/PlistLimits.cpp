#include "plist/PlistLimits.h"

#include <algorithm>

namespace PlistLimits {

qint64 maxExpandedNodes(qint64 inputBytes)
{
    return std::min<qint64>(MaxNodes, 2 * std::max<qint64>(inputBytes, 0) + 65536);
}

qint64 maxExpandedPayloadBytes(qint64 inputBytes)
{
    return 4 * std::max<qint64>(inputBytes, 0) + 64 * 1024 * 1024;
}

} // namespace PlistLimits
