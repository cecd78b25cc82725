#include "HostTransfer.h"

#include "BackupCodec.h"
#include "FaultPlan.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <set>

namespace iphonesim {

HostTransfer::HostTransfer(DeviceLink& link, FaultPlan& faults, size_t blockSize)
    : m_link(link), m_faults(faults), m_blockSize(std::clamp<size_t>(blockSize, 1, 16u << 20))
{
}

PlistPtr HostTransfer::message(const char* name)
{
    PlistPtr array = newArray();
    arrayAppendString(array.get(), name);
    return array;
}

StatusResponse HostTransfer::upload(const std::vector<OutgoingFile>& files, double progress,
                                    uint64_t batchBytes)
{
    PlistPtr request = message("DLMessageUploadFiles");
    plist_array_append_item(request.get(), plist_new_dict());
    plist_array_append_item(request.get(), plist_new_real(progress));
    plist_array_append_item(request.get(), plist_new_uint(batchBytes));
    m_link.send(request.get());
    std::vector<char> buffer(5 + m_blockSize);
    for (const OutgoingFile& file : files)
        sendFile(file, buffer);
    m_link.sendTerminator();
    return m_link.receiveStatusResponse();
}

void HostTransfer::sendFile(const OutgoingFile& file, std::vector<char>& buffer)
{
    m_link.sendName(file.devicePath);
    m_link.sendName(file.backupPath);
    std::unique_ptr<ContentSource> source;
    try {
        source = file.open();
    } catch (const SimError& failure) {
        // The file went away since the scan: the host hears why instead of getting data.
        const std::string text = failure.what();
        m_link.sendBlock(DeviceLink::kCodeRemoteError, text.data(), uint32_t(text.size()));
        return;
    }
    for (;;) {
        size_t got = 0;
        try {
            got = source->read(buffer.data() + 5, m_blockSize);
        } catch (const SimError& failure) {
            const std::string text = failure.what();
            m_link.sendBlock(DeviceLink::kCodeRemoteError, text.data(), uint32_t(text.size()));
            return;
        }
        if (got == 0)
            break;
        const uint32_t length = htonl(uint32_t(got + 1));
        std::memcpy(buffer.data(), &length, 4);
        buffer[4] = char(DeviceLink::kCodeFileData);
        spendBudget(got, buffer.data(), 5 + got);
        m_link.stream().writeAll(buffer.data(), 5 + got);
    }
    const char success[5] = {0, 0, 0, 1, char(DeviceLink::kCodeSuccess)};
    m_link.stream().writeAll(success, 5);
}

void HostTransfer::spendBudget(uint64_t bytes, const char* partial, size_t partialLength)
{
    const auto drop = m_faults.find(FaultKind::Drop);
    const uint64_t before = m_dataSent + m_dataReceived;
    if (partial)
        m_dataSent += bytes;
    else
        m_dataReceived += bytes;
    if (!drop || before + bytes <= drop->dropAfterBytes)
        return;
    // Lost in the middle of a block, as when the cable is pulled.
    if (partial && partialLength > 5) {
        const size_t allowed = size_t(std::min<uint64_t>(
            drop->dropAfterBytes - std::min(before, drop->dropAfterBytes), partialLength - 5));
        m_link.stream().writeAll(partial, 5 + allowed);
    }
    logInfo("fault: connection cut after " + std::to_string(drop->dropAfterBytes) + " bytes of file data");
    m_link.stream().abort();
    throw ConnectionClosed("connection cut by the drop fault");
}

DownloadOutcome
HostTransfer::download(const std::vector<std::string>& paths, double progress,
                       const std::function<std::unique_ptr<ContentSink>(const std::string&)>& open)
{
    PlistPtr request = message("DLMessageDownloadFiles");
    PlistPtr list = newArray();
    for (const std::string& path : paths)
        arrayAppendString(list.get(), path);
    plist_array_append_item(request.get(), static_cast<plist_t>(list.release()));
    plist_array_append_item(request.get(), plist_new_dict());
    plist_array_append_item(request.get(), plist_new_real(progress));
    m_link.send(request.get());

    DownloadOutcome outcome;
    std::multiset<std::string> expected(paths.begin(), paths.end());
    for (;;) {
        const std::string path = m_link.receiveName();
        if (path.empty())
            break;
        const auto wanted = expected.find(path);
        if (wanted == expected.end())
            throw SimError("the host sent a file that was not asked for: " + path);
        expected.erase(wanted);
        // A file the device cannot take (its key does not unwrap, no room) is still read to its end.
        std::unique_ptr<ContentSink> sink;
        std::string refusal;
        try {
            sink = open(path);
        } catch (const ConnectionClosed&) {
            throw;
        } catch (const SimError& failure) {
            refusal = failure.what();
        }
        std::string error;
        receiveFile(path, sink.get(), &error);
        if (error.empty())
            error = refusal;
        if (error.empty() && sink) {
            try {
                sink->finish();
            } catch (const SimError& failure) {
                error = failure.what();
            }
        }
        if (error.empty())
            outcome.received.push_back(path);
        else
            outcome.failed[path] = error;
    }
    for (const std::string& path : expected)
        outcome.failed.emplace(path, "not sent");
    outcome.status = m_link.receiveStatusResponse();
    return outcome;
}

void HostTransfer::receiveFile(const std::string& path, ContentSink* sink, std::string* error)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const uint32_t length = m_link.receiveLength();
        if (length == 0)
            throw SimError("empty block in the file " + path);
        const uint8_t code = m_link.receiveByte();
        uint64_t remaining = length - 1;
        if (code == DeviceLink::kCodeSuccess) {
            if (remaining != 0)
                throw SimError("success block with data in the file " + path);
            return;
        }
        if (code == DeviceLink::kCodeLocalError || code == DeviceLink::kCodeRemoteError) {
            if (remaining > 65536)
                throw SimError("error text too long in the file " + path);
            std::string text(size_t(remaining), '\0');
            m_link.receiveBytes(text.data(), text.size());
            *error = text.empty() ? "error" : text;
            return;
        }
        if (code != DeviceLink::kCodeFileData)
            throw SimError("unknown block code " + std::to_string(code) + " in the file " + path);
        while (remaining > 0) {
            const size_t chunk = size_t(std::min<uint64_t>(remaining, buffer.size()));
            m_link.receiveBytes(buffer.data(), chunk);
            spendBudget(chunk, nullptr, 0);
            if (sink) {
                try {
                    sink->write(buffer.data(), chunk);
                } catch (const SimError& failure) {
                    // The file cannot be kept (no space, no disk): read the rest of it and report it failed.
                    *error = failure.what();
                    sink = nullptr;
                }
            }
            remaining -= chunk;
        }
    }
}

std::map<std::string, HostDirectoryEntry> HostTransfer::listDirectory(const std::string& path)
{
    PlistPtr request = message("DLContentsOfDirectory");
    arrayAppendString(request.get(), path);
    plist_array_append_item(request.get(), plist_new_dict());
    m_link.send(request.get());
    StatusResponse response = m_link.receiveStatusResponse();
    std::map<std::string, HostDirectoryEntry> entries;
    for (const auto& [name, value] : dictItems(response.payload.get())) {
        HostDirectoryEntry entry;
        entry.directory = dictString(value, "DLFileType") == std::string("DLFileTypeDirectory");
        entry.size = dictUInt(value, "DLFileSize").value_or(0);
        entries[name] = entry;
    }
    return entries;
}

StatusResponse HostTransfer::createDirectory(const std::string& path)
{
    PlistPtr request = message("DLMessageCreateDirectory");
    arrayAppendString(request.get(), path);
    plist_array_append_item(request.get(), plist_new_dict());
    m_link.send(request.get());
    return m_link.receiveStatusResponse();
}

StatusResponse HostTransfer::moveItems(const std::vector<std::pair<std::string, std::string>>& moves,
                                       double progress)
{
    PlistPtr request = message("DLMessageMoveItems");
    PlistPtr map = newDict();
    for (const auto& [from, to] : moves)
        dictSetString(map.get(), from.c_str(), to);
    plist_array_append_item(request.get(), static_cast<plist_t>(map.release()));
    plist_array_append_item(request.get(), plist_new_dict());
    plist_array_append_item(request.get(), plist_new_real(progress));
    m_link.send(request.get());
    return m_link.receiveStatusResponse();
}

StatusResponse HostTransfer::removeItems(const std::vector<std::string>& paths, double progress)
{
    PlistPtr request = message("DLMessageRemoveItems");
    PlistPtr list = newArray();
    for (const std::string& path : paths)
        arrayAppendString(list.get(), path);
    plist_array_append_item(request.get(), static_cast<plist_t>(list.release()));
    plist_array_append_item(request.get(), plist_new_dict());
    plist_array_append_item(request.get(), plist_new_real(progress));
    m_link.send(request.get());
    return m_link.receiveStatusResponse();
}

std::optional<uint64_t> HostTransfer::freeDiskSpace()
{
    PlistPtr request = message("DLMessageGetFreeDiskSpace");
    plist_array_append_item(request.get(), plist_new_dict());
    m_link.send(request.get());
    StatusResponse response = m_link.receiveStatusResponse();
    if (response.code != 0)
        return std::nullopt;
    return nodeUInt(response.payload.get());
}

StatusResponse HostTransfer::purgeDiskSpace(uint64_t bytes)
{
    PlistPtr request = message("DLMessagePurgeDiskSpace");
    plist_array_append_item(request.get(), plist_new_uint(bytes));
    m_link.send(request.get());
    return m_link.receiveStatusResponse();
}

StatusResponse HostTransfer::copyItem(const std::string& from, const std::string& to)
{
    PlistPtr request = message("DLMessageCopyItem");
    arrayAppendString(request.get(), from);
    arrayAppendString(request.get(), to);
    plist_array_append_item(request.get(), plist_new_dict());
    m_link.send(request.get());
    return m_link.receiveStatusResponse();
}

} // namespace iphonesim
