#include "DeviceLink.h"

#include "SimStream.h"

#include <arpa/inet.h>
#include <cstring>

namespace iphonesim {

namespace {

constexpr const char* kEmptyParameter = "___EmptyParameterString___";

std::string messageName(plist_t message)
{
    if (!message || plist_get_node_type(message) != PLIST_ARRAY || plist_array_get_size(message) < 1)
        return {};
    return nodeString(plist_array_get_item(message, 0)).value_or("");
}

} // namespace

DeviceLink::DeviceLink(SimStream& stream) : m_stream(stream), m_channel(stream, 64u << 20)
{
}

void DeviceLink::exchangeVersions(uint64_t major)
{
    PlistPtr exchange = newArray();
    arrayAppendString(exchange.get(), "DLMessageVersionExchange");
    plist_array_append_item(exchange.get(), plist_new_uint(major));
    plist_array_append_item(exchange.get(), plist_new_uint(0));
    send(exchange.get());
    PlistPtr reply = m_channel.receive();
    if (messageName(reply.get()) != "DLMessageVersionExchange" || plist_array_get_size(reply.get()) < 2 ||
        nodeString(plist_array_get_item(reply.get(), 1)) != "DLVersionsOk")
        throw SimError("the host did not accept the DeviceLink version");
    PlistPtr ready = newArray();
    arrayAppendString(ready.get(), "DLMessageDeviceReady");
    send(ready.get());
}

void DeviceLink::send(plist_t message)
{
    m_channel.send(message, PlistFormat::Binary);
}

PlistPtr DeviceLink::receive()
{
    PlistPtr message = m_channel.receive();
    const std::string name = messageName(message.get());
    if (name == "DLMessageDisconnect")
        throw HostDisconnected();
    if (name.rfind("DL", 0) != 0)
        throw SimError("the host sent something that is not a DeviceLink message");
    return message;
}

PlistPtr DeviceLink::receiveProcessMessage()
{
    PlistPtr message = receive();
    if (messageName(message.get()) != "DLMessageProcessMessage" || plist_array_get_size(message.get()) != 2)
        throw SimError("expected DLMessageProcessMessage, got " + messageName(message.get()));
    plist_t dictionary = plist_array_get_item(message.get(), 1);
    if (plist_get_node_type(dictionary) != PLIST_DICT)
        throw SimError("DLMessageProcessMessage without a dictionary");
    return PlistPtr(plist_copy(dictionary));
}

void DeviceLink::sendProcessMessage(plist_t dictionary)
{
    PlistPtr message = newArray();
    arrayAppendString(message.get(), "DLMessageProcessMessage");
    plist_array_append_item(message.get(), plist_copy(dictionary));
    send(message.get());
}

StatusResponse DeviceLink::receiveStatusResponse()
{
    PlistPtr message = receive();
    if (messageName(message.get()) != "DLMessageStatusResponse" || plist_array_get_size(message.get()) < 2)
        throw SimError("expected DLMessageStatusResponse, got " + messageName(message.get()));
    StatusResponse response;
    const auto code = nodeSigned(plist_array_get_item(message.get(), 1));
    if (!code)
        throw SimError("DLMessageStatusResponse without a status code");
    response.code = *code;
    if (plist_array_get_size(message.get()) > 2) {
        const std::string text = nodeString(plist_array_get_item(message.get(), 2)).value_or("");
        response.description = text == kEmptyParameter ? std::string() : text;
    }
    if (plist_array_get_size(message.get()) > 3)
        response.payload.reset(plist_copy(plist_array_get_item(message.get(), 3)));
    return response;
}

void DeviceLink::sendResponse(uint64_t errorCode, const std::string& description)
{
    PlistPtr response = newDict();
    dictSetUInt(response.get(), "ErrorCode", errorCode);
    if (!description.empty())
        dictSetString(response.get(), "ErrorDescription", description);
    dictSetString(response.get(), "MessageName", "Response");
    sendProcessMessage(response.get());
}

void DeviceLink::sendName(const std::string& name)
{
    std::string block(4, '\0');
    const uint32_t length = htonl(uint32_t(name.size()));
    std::memcpy(block.data(), &length, 4);
    block += name;
    m_stream.writeAll(block);
}

void DeviceLink::sendTerminator()
{
    const uint32_t zero = 0;
    m_stream.writeAll(&zero, 4);
}

void DeviceLink::sendBlockHeader(uint8_t code, uint32_t dataLength)
{
    char header[5];
    const uint32_t length = htonl(dataLength + 1);
    std::memcpy(header, &length, 4);
    header[4] = char(code);
    m_stream.writeAll(header, 5);
}

void DeviceLink::sendBlock(uint8_t code, const char* data, uint32_t length)
{
    std::string block(5, '\0');
    const uint32_t total = htonl(length + 1);
    std::memcpy(block.data(), &total, 4);
    block[4] = char(code);
    block.append(data, length);
    m_stream.writeAll(block);
}

uint32_t DeviceLink::receiveLength()
{
    uint32_t length = 0;
    m_stream.readExact(&length, 4);
    return ntohl(length);
}

std::string DeviceLink::receiveName()
{
    const uint32_t length = receiveLength();
    if (length > kMaxName)
        throw SimError("file name of " + std::to_string(length) + " bytes refused");
    std::string name(length, '\0');
    m_stream.readExact(name.data(), length);
    return name;
}

uint8_t DeviceLink::receiveByte()
{
    uint8_t byte = 0;
    m_stream.readExact(&byte, 1);
    return byte;
}

void DeviceLink::receiveBytes(char* data, size_t length)
{
    m_stream.readExact(data, length);
}

} // namespace iphonesim
