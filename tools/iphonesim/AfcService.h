#pragma once

#include "FdHandle.h"

#include <cstdint>
#include <map>
#include <string>

namespace iphonesim {

class SimDevice;
class SimStream;

// com.apple.afc over the device folder's media area: directory listing, file information, file handles
// (open, read, write, seek, tell, truncate, lock, close), make, remove and rename, device information.
// Paths never leave the media area.
class AfcService
{
public:
    AfcService(SimDevice& device, SimStream& stream);
    void run();

    // The local path of an AFC path, or empty when it would leave the root.
    static std::string resolve(const std::string& root, const std::string& afcPath);

private:
    struct Packet
    {
        uint64_t number = 0;
        uint64_t operation = 0;
        std::string header;  // operation arguments
        std::string payload; // data following them (FileRefWrite)
    };

    Packet receive();
    void reply(uint64_t number, uint64_t operation, const std::string& data);
    void status(uint64_t number, uint64_t code);
    void handle(const Packet& packet);
    std::string path(const std::string& header, size_t offset = 0) const;

    SimDevice& m_device;
    SimStream& m_stream;
    std::string m_root;
    std::map<uint64_t, FdHandle> m_files;
    uint64_t m_nextHandle = 1;
};

} // namespace iphonesim
