#pragma once

#include "Plist.h"

#include <cstddef>

namespace iphonesim {

class SimStream;

// Property lists on a service connection: a 32-bit big-endian length followed by the XML or binary list,
// the framing of lockdownd and every property-list service.
class PlistChannel
{
public:
    // Larger messages from a client are refused (the connection is dropped) instead of allocated.
    static constexpr size_t kDefaultMaxMessage = 64u << 20;

    explicit PlistChannel(SimStream& stream, size_t maxMessage = kDefaultMaxMessage);

    void send(plist_t message, PlistFormat format);
    // Throws ConnectionClosed when the peer is gone and SimError for a message that is not a property list.
    PlistPtr receive();

    SimStream& stream() { return m_stream; }

private:
    SimStream& m_stream;
    size_t m_maxMessage;
};

} // namespace iphonesim
