#pragma once

#include "DeviceLink.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace iphonesim {

class ContentSink;
class ContentSource;
class FaultPlan;

// A file the device sends to the host.
struct OutgoingFile
{
    std::string devicePath; // the file's path on the device (first name block)
    std::string backupPath; // where the host stores it, relative to its backup root (second name block)
    std::function<std::unique_ptr<ContentSource>()> open;
};

// An entry of a host folder listing.
struct HostDirectoryEntry
{
    bool directory = false;
    uint64_t size = 0;
};

// Files asked from the host and what came of them.
struct DownloadOutcome
{
    std::vector<std::string> received;
    std::map<std::string, std::string> failed; // path -> the host's error text
    StatusResponse status;
};

// The DeviceLink requests a device makes of the host during a backup or restore, with the raw file streams
// that belong to them. The Drop fault is applied here: the connection is cut once the armed number of file
// data bytes has passed.
class HostTransfer
{
public:
    HostTransfer(DeviceLink& link, FaultPlan& faults, size_t blockSize);

    // DLMessageUploadFiles for a batch; returns the host's status response.
    StatusResponse upload(const std::vector<OutgoingFile>& files, double progress, uint64_t batchBytes);
    // DLMessageDownloadFiles; open gives the sink for an arriving path (null: read and drop the data).
    DownloadOutcome download(const std::vector<std::string>& paths, double progress,
                             const std::function<std::unique_ptr<ContentSink>(const std::string&)>& open);
    // DLContentsOfDirectory; an empty map when the folder does not exist.
    std::map<std::string, HostDirectoryEntry> listDirectory(const std::string& path);
    StatusResponse createDirectory(const std::string& path);
    StatusResponse moveItems(const std::vector<std::pair<std::string, std::string>>& moves, double progress);
    StatusResponse removeItems(const std::vector<std::string>& paths, double progress);
    // DLMessageGetFreeDiskSpace; empty when the host could not tell.
    std::optional<uint64_t> freeDiskSpace();
    // DLMessagePurgeDiskSpace: asks the host to make room for bytes.
    StatusResponse purgeDiskSpace(uint64_t bytes);
    // DLMessageCopyItem.
    StatusResponse copyItem(const std::string& from, const std::string& to);

    uint64_t dataBytesSent() const { return m_dataSent; }
    uint64_t dataBytesReceived() const { return m_dataReceived; }

private:
    PlistPtr message(const char* name);
    void sendFile(const OutgoingFile& file, std::vector<char>& buffer);
    // Counts file data and cuts the connection when the Drop fault's budget is used up.
    void spendBudget(uint64_t bytes, const char* partial, size_t partialLength);
    void receiveFile(const std::string& path, ContentSink* sink, std::string* error);

    DeviceLink& m_link;
    FaultPlan& m_faults;
    size_t m_blockSize;
    uint64_t m_dataSent = 0;
    uint64_t m_dataReceived = 0;
};

} // namespace iphonesim
