#pragma once

#include "Plist.h"
#include "PlistChannel.h"
#include "SimError.h"

#include <cstdint>
#include <string>

namespace iphonesim {

class SimStream;

// The host answered a DeviceLink request ("DLMessageStatusResponse").
struct StatusResponse
{
    int64_t code = 0;
    std::string description; // empty for "___EmptyParameterString___"
    PlistPtr payload;        // the fourth element, or null
};

// The host said goodbye ("DLMessageDisconnect").
class HostDisconnected : public ConnectionClosed
{
public:
    HostDisconnected() : ConnectionClosed("the host disconnected") {}
};

// The device side of a DeviceLink connection (mobilebackup2): binary property-list messages, the version
// exchange, status responses, and the raw file streams that follow DLMessageUploadFiles and
// DLMessageDownloadFiles (32-bit big-endian lengths, a code byte per block).
class DeviceLink
{
public:
    // Codes of the raw file stream.
    static constexpr uint8_t kCodeSuccess = 0x00;
    static constexpr uint8_t kCodeLocalError = 0x06;
    static constexpr uint8_t kCodeRemoteError = 0x0B;
    static constexpr uint8_t kCodeFileData = 0x0C;
    // File names longer than this are refused.
    static constexpr uint32_t kMaxName = 4096;

    explicit DeviceLink(SimStream& stream);

    // DeviceLink's version: 300 up to iOS 13, 400 from iOS 14 on.
    static constexpr uint64_t kVersion300 = 300;
    static constexpr uint64_t kVersion400 = 400;

    // DLMessageVersionExchange with the major version (minor 0), then DLMessageDeviceReady.
    void exchangeVersions(uint64_t major = kVersion300);
    void send(plist_t message);
    // A DLMessage array from the host; throws HostDisconnected for DLMessageDisconnect.
    PlistPtr receive();
    // The dictionary of a DLMessageProcessMessage.
    PlistPtr receiveProcessMessage();
    void sendProcessMessage(plist_t dictionary);
    StatusResponse receiveStatusResponse();
    // ["DLMessageProcessMessage", {"ErrorCode", "ErrorDescription", "MessageName": "Response"}].
    void sendResponse(uint64_t errorCode, const std::string& description);

    // Raw stream pieces.
    void sendName(const std::string& name);
    void sendTerminator();
    void sendBlockHeader(uint8_t code, uint32_t dataLength);
    void sendBlock(uint8_t code, const char* data, uint32_t length);
    uint32_t receiveLength();
    // A name block; empty string for the terminator (length 0). Throws SimError for an oversized name.
    std::string receiveName();
    uint8_t receiveByte();
    void receiveBytes(char* data, size_t length);

    SimStream& stream() { return m_stream; }

private:
    SimStream& m_stream;
    PlistChannel m_channel;
};

} // namespace iphonesim
