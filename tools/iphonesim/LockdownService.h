#pragma once

#include "Plist.h"

#include <string>

namespace iphonesim {

class PlistChannel;
class SimDevice;

// lockdownd on port 62078: QueryType, values, pairing as the device does it, TLS sessions under the pairing
// and starting services. One object serves one connection.
class LockdownService
{
public:
    static constexpr uint16_t kPort = 62078;

    LockdownService(SimDevice& device, PlistChannel& channel);
    void run();

private:
    // Returns false when the connection ends after the answer.
    bool handle(plist_t request);
    PlistPtr answer(const std::string& request) const;
    PlistPtr error(const std::string& request, const char* error) const;
    void send(plist_t message);

    PlistPtr getValue(plist_t request);
    PlistPtr setValue(plist_t request);
    PlistPtr pair(plist_t request);
    PlistPtr validatePair(plist_t request);
    PlistPtr unpair(plist_t request);
    bool startSession(plist_t request);
    bool stopSession(plist_t request);
    PlistPtr startService(plist_t request);

    SimDevice& m_device;
    PlistChannel& m_channel;
    std::string m_sessionId;
    std::string m_sessionHostId;
};

} // namespace iphonesim
