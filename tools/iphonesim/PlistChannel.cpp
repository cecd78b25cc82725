#include "PlistChannel.h"

#include "SimError.h"
#include "SimStream.h"

#include <arpa/inet.h>
#include <cstring>

namespace iphonesim {

PlistChannel::PlistChannel(SimStream& stream, size_t maxMessage) : m_stream(stream), m_maxMessage(maxMessage)
{
}

void PlistChannel::send(plist_t message, PlistFormat format)
{
    const std::string body = plistToBytes(message, format);
    if (body.empty())
        throw SimError("cannot encode a property list");
    std::string packet(4, '\0');
    const uint32_t length = htonl(uint32_t(body.size()));
    std::memcpy(packet.data(), &length, 4);
    packet += body;
    m_stream.writeAll(packet);
}

PlistPtr PlistChannel::receive()
{
    uint32_t length = 0;
    m_stream.readExact(&length, 4);
    length = ntohl(length);
    if (length == 0 || length > m_maxMessage)
        throw SimError("property-list message of " + std::to_string(length) + " bytes refused");
    std::string body(length, '\0');
    m_stream.readExact(body.data(), length);
    PlistPtr message = plistFromBytes(body);
    if (!message)
        throw SimError("received data that is not a property list");
    return message;
}

} // namespace iphonesim
