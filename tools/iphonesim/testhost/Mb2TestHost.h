#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace iphonesim {

// How a conversation with the device ended, and what passed.
struct TestHostResult
{
    bool finished = false;  // the device sent its final response
    uint64_t errorCode = 0; // its ErrorCode
    std::string errorDescription;
    bool connectionLost = false; // the connection broke before the end
    std::string failure;         // what went wrong on the host's side
    uint64_t filesReceived = 0;
    uint64_t bytesReceived = 0;
    uint64_t filesSent = 0;
    std::vector<std::string> receivedPaths; // backup paths of the received files, in order
    std::vector<std::string> messages;      // DeviceLink messages in order
};

// A small mobilebackup2 host on top of libimobiledevice, for tests and benchmarks of the simulated device:
// it runs one backup or restore and answers every DeviceLink message, keeping files in a backup root folder
// or throwing their content away.
class Mb2TestHost
{
public:
    // backupRoot: the folder that holds "<udid>/"; empty to discard received data (benchmarks).
    Mb2TestHost(std::string udid, std::string backupRoot);

    // The answer to DLMessageGetFreeDiskSpace (default: 1 TiB).
    void setFreeSpace(uint64_t bytes) { m_freeSpace = bytes; }
    // Status code sent for DLMessagePurgeDiskSpace (default 0).
    void setPurgeStatus(int64_t code) { m_purgeStatus = code; }
    // Backup paths that DLContentsOfDirectory pretends not to hold.
    void hideFromListings(const std::set<std::string>& names) { m_hidden = names; }
    // Answers a request for this path (last component) with the content of another file of the folder.
    void substituteDownload(const std::string& name, const std::string& replacement)
    {
        m_substituteName = name;
        m_substitute = replacement;
    }

    TestHostResult backup(bool forceFull);
    // Restore options as idevicebackup2 sends them.
    TestHostResult restore(bool systemFiles, bool preserveSettings, bool reboot, bool removeNotRestored);

private:
    struct Connection;
    TestHostResult converse(const char* request, bool forceFull, bool systemFiles, bool preserveSettings,
                            bool reboot, bool removeNotRestored);

    std::string m_udid;
    std::string m_root;
    uint64_t m_freeSpace = 1ull << 40;
    int64_t m_purgeStatus = 0;
    std::set<std::string> m_hidden;
    std::string m_substituteName;
    std::string m_substitute;
};

} // namespace iphonesim
