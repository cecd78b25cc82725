// Decodes arbitrary bytes as a tinykv blob; whatever decodes must survive encode -> decode -> encode
// unchanged (compared as bytes, so NaN doubles count as equal to themselves).
#include "line/TinyKv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray blob(reinterpret_cast<const char*>(data), qsizetype(size));
    bool ok = false;
    const QVariantHash first = TinyKv::decode(blob, &ok);
    if (!ok) {
        if (!first.isEmpty())
            std::abort(); // a failed blob must decode empty
        return 0;
    }
    const QByteArray encoded = TinyKv::encode(first);
    bool okAgain = false;
    const QVariantHash second = TinyKv::decode(encoded, &okAgain);
    if (!okAgain || second.size() != first.size() || TinyKv::encode(second) != encoded)
        std::abort();
    return 0;
}
