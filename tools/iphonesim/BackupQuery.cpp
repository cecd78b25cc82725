#include "BackupQuery.h"

#include "BackupCodec.h"
#include "DeviceKeys.h"
#include "DeviceLink.h"
#include "DeviceServices.h"
#include "EncryptedBackupCodec.h"
#include "HostTransfer.h"
#include "SimDevice.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

bool isPathComponent(const std::string& text)
{
    return !text.empty() && text.size() <= 255 && text != "." && text != ".." &&
           text.find('/') == std::string::npos && text.find('\0') == std::string::npos;
}

std::string dateText(plist_t dict, const char* key)
{
    plist_t date = dictItem(dict, key, PLIST_DATE);
    if (!date)
        return "unknown";
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(date, &seconds, &microseconds);
    const std::time_t unixTime = std::time_t(int64_t(seconds) + kAppleEpochOffset);
    std::tm parts = {};
    gmtime_r(&unixTime, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

struct RemoveFolder
{
    std::string folder;
    ~RemoveFolder()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

} // namespace

BackupQuery::BackupQuery(SimDevice& device, DeviceLink& link, const ServiceOptions& options)
    : m_device(device), m_link(link), m_options(options)
{
}

std::string BackupQuery::sourceOf(plist_t request)
{
    auto source = dictString(request, "SourceIdentifier");
    if (!source)
        source = dictString(request, "TargetIdentifier");
    if (!source || !isPathComponent(*source)) {
        m_link.sendResponse(1, "Invalid source identifier (MBErrorDomain/1)");
        return {};
    }
    return *source;
}

void BackupQuery::info(plist_t request)
{
    const std::string source = sourceOf(request);
    if (source.empty())
        return;
    const std::string work = m_device.scratchRoot() + "/info-" + randomUuid();
    std::error_code error;
    fs::create_directories(work, error);
    RemoveFolder removeWork{work};
    HostTransfer transfer(m_link, m_device.faults(), m_options.fileBlockSize);
    const std::string statusPath = source + "/Status.plist";
    const std::string manifestPath = source + "/Manifest.plist";
    transfer.download({statusPath, manifestPath}, 50.0, [&](const std::string& path) {
        return openLimitedFileSink(work + (path == statusPath ? "/Status.plist" : "/Manifest.plist"),
                                   64u << 20);
    });
    PlistPtr status = plistFromFile(work + "/Status.plist", 1 << 20);
    PlistPtr manifest = plistFromFile(work + "/Manifest.plist", 64u << 20);
    if (!manifest || plist_get_node_type(manifest.get()) != PLIST_DICT) {
        m_link.sendResponse(205, "Error reading backup properties (MBErrorDomain/205)");
        return;
    }
    const bool encrypted = dictBool(manifest.get(), "IsEncrypted").value_or(false);
    if (encrypted) {
        const auto password = dictString(dictItem(request, "Options", PLIST_DICT), "Password").value_or("");
        const EncryptedBackupCodec::Unlocked unlocked =
            EncryptedBackupCodec::unlockBackup(manifest.get(), password);
        if (!unlocked.codec) {
            m_link.sendResponse(unlocked.errorCode, unlocked.error);
            return;
        }
    }
    plist_t lockdown = dictItem(manifest.get(), "Lockdown", PLIST_DICT);
    plist_t applications = dictItem(manifest.get(), "Applications", PLIST_DICT);
    auto field = [&](const char* key) { return dictString(lockdown, key).value_or("unknown"); };
    std::string content;
    content += "Device Name: " + field("DeviceName") + "\n";
    content += "Unique Device ID: " + field("UniqueDeviceID") + "\n";
    content += "Product Type: " + field("ProductType") + "\n";
    content += "Product Version: " + field("ProductVersion") + "\n";
    content += "Build Version: " + field("BuildVersion") + "\n";
    content += "Serial Number: " + field("SerialNumber") + "\n";
    content += "Backup Date: " + dateText(manifest.get(), "Date") + "\n";
    content += std::string("Encrypted: ") + (encrypted ? "yes" : "no") + "\n";
    content += "Snapshot State: " + dictString(status.get(), "SnapshotState").value_or("unknown") + "\n";
    content += std::string("Full Backup: ") +
               (dictBool(status.get(), "IsFullBackup").value_or(false) ? "yes" : "no") + "\n";
    content += "Applications: " + std::to_string(applications ? plist_dict_get_size(applications) : 0) + "\n";

    PlistPtr response = newDict();
    dictSetUInt(response.get(), "ErrorCode", 0);
    dictSetString(response.get(), "MessageName", "Response");
    dictSetString(response.get(), "Content", content);
    m_link.sendProcessMessage(response.get());
}

void BackupQuery::list(plist_t request)
{
    const std::string source = sourceOf(request);
    if (source.empty())
        return;
    HostTransfer transfer(m_link, m_device.faults(), m_options.fileBlockSize);
    const std::string mbdbPath = source + "/Manifest.mbdb";
    // Only the file's presence matters: its bytes are read and dropped.
    const DownloadOutcome outcome = transfer.download(
        {mbdbPath}, 50.0, [](const std::string&) { return std::unique_ptr<ContentSink>(); });
    if (outcome.received.empty()) {
        m_link.sendResponse(205,
                            "Error reading backup database (MBErrorDomain/205). Underlying error: No such "
                            "file or directory at path \"" +
                                mbdbPath + "\" (MBErrorDomain/4).");
        return;
    }
    m_link.sendResponse(205, "Error reading backup database (MBErrorDomain/205)");
}

} // namespace iphonesim
