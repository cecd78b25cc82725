#include "BackupSession.h"

#include "AtomicFile.h"
#include "BackupCodec.h"
#include "BackupMetadata.h"
#include "BackupPlan.h"
#include "DeviceKeys.h"
#include "DeviceLink.h"
#include "DeviceServices.h"
#include "EncryptedBackupCodec.h"
#include "HostTransfer.h"
#include "PlainBackupCodec.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

constexpr size_t kBatchFiles = 1000;
constexpr uint64_t kBatchBytes = 64ull << 20;
constexpr size_t kItemsPerMessage = 5000;
// Largest Status.plist / Manifest.plist and Manifest.db the device accepts from a host.
constexpr uint64_t kMaxPropertyList = 64ull << 20;
constexpr uint64_t kMaxManifestDb = 16ull << 30;
// Free space the device wants on the host beyond the backup itself.
constexpr uint64_t kHostSpaceMargin = 128ull << 20;
constexpr const char* kPasscodePresented = "com.apple.LocalAuthentication.ui.presented";
constexpr const char* kPasscodeDismissed = "com.apple.LocalAuthentication.ui.dismissed";

// Sends bytes held in memory (the metadata files).
class BytesSource : public ContentSource
{
public:
    explicit BytesSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t read(char* buffer, size_t capacity) override
    {
        const size_t count = std::min(capacity, m_bytes.size() - m_offset);
        std::memcpy(buffer, m_bytes.data() + m_offset, count);
        m_offset += count;
        return count;
    }

private:
    std::string m_bytes;
    size_t m_offset = 0;
};

// The fixed device path the device names for its own metadata files.
std::string metadataDevicePath(const std::string& name)
{
    return "/var/mobile/Library/Caches/Backup/" + name;
}

bool isPathComponent(const std::string& text)
{
    return !text.empty() && text.size() <= 255 && text != "." && text != ".." &&
           text.find('/') == std::string::npos && text.find('\0') == std::string::npos;
}

} // namespace

BackupSession::BackupSession(SimDevice& device, DeviceLink& link, const ServiceOptions& options)
    : m_device(device), m_link(link), m_options(options)
{
}

void BackupSession::fail(uint64_t code, const std::string& description)
{
    logInfo(m_device.udid() + " backup failed: " + description);
    m_link.sendResponse(code, description);
    m_failed = true;
}

bool BackupSession::checkFaults()
{
    FaultPlan& faults = m_device.faults();
    if (faults.find(FaultKind::Refuse)) {
        fail(212, "Unable to backup until Setup is finished (MBErrorDomain/212)");
        return false;
    }
    if (faults.find(FaultKind::Locked)) {
        fail(208, "Device locked (MBErrorDomain/208)");
        return false;
    }
    if (const auto custom = faults.find(FaultKind::Custom)) {
        fail(custom->code, custom->description);
        return false;
    }
    return true;
}

std::string BackupSession::previousManifest(HostTransfer& transfer, const std::string& workFolder,
                                            BackupCodec& codec)
{
    const std::string statusPath = workFolder + "/host-Status.plist";
    const std::string manifestPlistPath = workFolder + "/host-Manifest.plist";
    const std::string manifestDbPath = workFolder + "/host-Manifest.db";
    const std::map<std::string, std::string> localOf = {{backupPath("Status.plist"), statusPath},
                                                        {backupPath("Manifest.plist"), manifestPlistPath},
                                                        {backupPath("Manifest.db"), manifestDbPath}};
    auto open = [&](const std::string& path) -> std::unique_ptr<ContentSink> {
        const bool database = path == backupPath("Manifest.db");
        return openLimitedFileSink(localOf.at(path), database ? kMaxManifestDb : kMaxPropertyList);
    };
    auto has = [](const DownloadOutcome& outcome, const std::string& path) {
        return std::find(outcome.received.begin(), outcome.received.end(), path) != outcome.received.end();
    };
    // Newer devices ask for all three at once; older ones for the manifest database only when the
    // properties allow an incremental backup.
    const bool together = m_device.versionAtLeast(16);
    std::vector<std::string> first = {backupPath("Status.plist"), backupPath("Manifest.plist")};
    if (together)
        first.push_back(backupPath("Manifest.db"));
    const DownloadOutcome properties = transfer.download(first, 1.0, open);
    if (m_device.faults().find(FaultKind::Error205)) {
        fail(205, "Error reading backup properties (MBErrorDomain/205)");
        return {};
    }
    const bool haveStatus = has(properties, backupPath("Status.plist"));
    const bool haveManifest = has(properties, backupPath("Manifest.plist"));
    if (!haveStatus || (!together && !haveManifest))
        return {}; // no previous backup on this computer
    PlistPtr status = plistFromFile(statusPath, 1 << 20);
    if (dictString(status.get(), "SnapshotState") != std::string("finished"))
        return {}; // the last backup did not finish: start over
    std::error_code sizeError;
    if (!haveManifest || fs::file_size(manifestPlistPath, sizeError) == 0) {
        fail(205, "Error reading backup properties (MBErrorDomain/205). Underlying error: Manifest.plist is "
                  "missing or empty.");
        return {};
    }
    PlistPtr manifest = plistFromFile(manifestPlistPath, 64u << 20);
    if (!manifest || plist_get_node_type(manifest.get()) != PLIST_DICT) {
        fail(205,
             "Error reading backup properties (MBErrorDomain/205). Underlying error: Error deserializing "
             "properties (MBErrorDomain/11).");
        return {};
    }
    const auto backupUdid = dictString(dictItem(manifest.get(), "Lockdown", PLIST_DICT), "UniqueDeviceID");
    if (backupUdid != m_device.udid() || !codec.acceptsPrevious(manifest.get()))
        return {}; // another device's backup, or the encryption or its keys changed: a full backup replaces
                   // it
    if (together) {
        if (!has(properties, backupPath("Manifest.db")))
            return {};
    } else if (transfer.download({backupPath("Manifest.db")}, 2.0, open).received.size() != 1) {
        return {};
    }
    try {
        codec.openManifestDb(manifestDbPath);
    } catch (const SimError& failure) {
        logInfo(m_device.udid() + ": the previous manifest is not usable: " + failure.what());
        return {};
    }
    return manifestDbPath;
}

bool BackupSession::waitForPasscode(const DeviceSettings& settings)
{
    logInfo(m_device.udid() + " waits for the passcode");
    m_device.notifications().post(kPasscodePresented);
    const bool entered = m_device.waitForPasscode(std::chrono::seconds(settings.passcodeTimeoutSeconds),
                                                  [this] { return m_link.stream().aborted(); });
    m_device.notifications().post(kPasscodeDismissed);
    if (!entered) {
        fail(208, "Device locked (MBErrorDomain/208)");
        return false;
    }
    return true;
}

bool BackupSession::checkHostSpace(HostTransfer& transfer, uint64_t uploadBytes)
{
    const uint64_t needed = uploadBytes + kHostSpaceMargin;
    std::optional<uint64_t> freeSpace = transfer.freeDiskSpace();
    bool purged = false;
    if (freeSpace && *freeSpace <= needed && !m_device.faults().find(FaultKind::NoSpace)) {
        transfer.purgeDiskSpace(needed);
        purged = true;
        freeSpace = transfer.freeDiskSpace();
    }
    if (m_device.faults().find(FaultKind::NoSpace) || (freeSpace && *freeSpace <= needed)) {
        fail(105, "Insufficient free disk space on drive to back up (MBErrorDomain/105)");
        return false;
    }
    if (m_device.faults().find(FaultKind::Purge) && !purged)
        transfer.purgeDiskSpace(uploadBytes);
    return true;
}

void BackupSession::probeUnsafePaths(HostTransfer& transfer, const std::string& absoluteFolder)
{
    const std::string absolute = absoluteFolder.empty() ? "/nonexistent-iphonesim-folder" : absoluteFolder;
    const std::vector<std::string> outside = {"../escaped", absolute + "/escaped",
                                              backupPath("link/escaped")};
    const std::string inside = backupPath("Status.plist");
    size_t refused = 0;
    size_t accepted = 0;
    auto count = [&](bool ok) { ++(ok ? accepted : refused); };
    for (const std::string& path : outside) {
        const std::string bytes = "written by the unsafe-paths fault";
        OutgoingFile file{"/var/mobile/Library/escaped.txt", path + "-upload.txt",
                          [bytes]() { return std::make_unique<BytesSource>(bytes); }};
        count(transfer.upload({file}, 1.0, bytes.size()).code == 0);
        const DownloadOutcome download =
            transfer.download({path + "-secret.txt"}, 1.0,
                              [](const std::string&) -> std::unique_ptr<ContentSink> { return nullptr; });
        count(!download.received.empty());
        count(transfer.moveItems({{inside, path + "-moved.txt"}}, 1.0).code == 0);
        count(transfer.moveItems({{path + "-victim.txt", inside + "-moved"}}, 1.0).code == 0);
        count(transfer.removeItems({path + "-victim.txt"}, 1.0).code == 0);
        count(transfer.copyItem(inside, path + "-copied.txt").code == 0);
        count(transfer.copyItem(path + "-victim.txt", inside + "-copied").code == 0);
        count(transfer.createDirectory(path + "-folder").code == 0);
        PlistPtr listing = newArray();
        arrayAppendString(listing.get(), "DLContentsOfDirectory");
        arrayAppendString(listing.get(), path);
        plist_array_append_item(listing.get(), plist_new_dict());
        m_link.send(listing.get());
        count(m_link.receiveStatusResponse().code == 0);
    }
    fail(1, "Unsafe paths: " + std::to_string(refused) + " refused, " + std::to_string(accepted) +
                " accepted (MBErrorDomain/1)");
}

void BackupSession::run(plist_t request)
{
    const auto target = dictString(request, "TargetIdentifier");
    if (!target || !isPathComponent(*target)) {
        fail(1, "Invalid target identifier (MBErrorDomain/1)");
        return;
    }
    m_target = *target;
    if (!checkFaults())
        return;
    const DeviceSettings settings = m_device.settings();
    if (settings.willEncrypt && settings.backupPassword.empty()) {
        fail(1, "Backup encryption is on but no backup password is set (MBErrorDomain/1)");
        return;
    }
    if (!m_device.tryBeginBackupOperation()) {
        fail(1, "A backup or restore is in progress (MBErrorDomain/1)");
        return;
    }
    struct EndOperation
    {
        SimDevice& device;
        ~EndOperation() { device.endBackupOperation(); }
    } endOperation{m_device};
    std::unique_ptr<BackupCodec> codecOwner;
    if (settings.willEncrypt)
        codecOwner = std::make_unique<EncryptedBackupCodec>(m_device.backupKeys().current(settings));
    else
        codecOwner = std::make_unique<PlainBackupCodec>();
    BackupCodec& codec = *codecOwner;
    const bool forceFull =
        dictBool(dictItem(request, "Options", PLIST_DICT), "ForceFullBackup").value_or(false);

    const std::string workFolder = m_device.scratchRoot() + "/backup-" + randomUuid();
    std::error_code error;
    fs::create_directories(workFolder, error);
    struct RemoveWork
    {
        std::string folder;
        ~RemoveWork()
        {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    } removeWork{workFolder};

    HostTransfer transfer(m_link, m_device.faults(), m_options.fileBlockSize);
    if (settings.willEncrypt && m_device.versionAtLeast(16, 1) && !waitForPasscode(settings))
        return;
    if (const auto unsafe = m_device.faults().find(FaultKind::UnsafePaths)) {
        probeUnsafePaths(transfer, unsafe->description);
        return;
    }
    const std::string previous = forceFull ? std::string() : previousManifest(transfer, workFolder, codec);
    if (m_failed)
        return;
    const bool fullBackup = previous.empty();
    logInfo(m_device.udid() + (fullBackup ? " full" : " incremental") +
            (codec.isEncrypted() ? " encrypted backup" : " backup") + " to " + m_target);

    BackupPlan plan(m_device, codec, workFolder, previous);
    plan.scan();
    if (!fullBackup) {
        // Files the host should hold are trusted only when its folders show them with the right size.
        const auto root = transfer.listDirectory(m_target);
        for (const std::string& prefix : plan.unchangedPrefixes()) {
            const auto folder = root.find(prefix);
            std::map<std::string, HostDirectoryEntry> listing;
            if (folder != root.end() && folder->second.directory)
                listing = transfer.listDirectory(backupPath(prefix));
            for (const auto& [fileId, size] : plan.unchangedFiles(prefix)) {
                const auto found = listing.find(fileId);
                if (found == listing.end() || found->second.directory || found->second.size != size)
                    plan.markMissing(fileId);
            }
        }
    }
    const uint64_t uploadBytes = plan.uploadBytes();
    const uint64_t uploadCount = plan.uploadCount();
    logInfo(m_device.udid() + " sends " + std::to_string(uploadCount) + " of " +
            std::to_string(plan.scannedFiles()) + " files, " + std::to_string(uploadBytes) + " bytes");

    if (!checkHostSpace(transfer, uploadBytes))
        return;

    const int64_t startTime = int64_t(std::time(nullptr));
    const std::string snapshotUuid = randomUuid();
    auto sendMetadata = [&](const std::string& name, const std::string& path, std::string bytes,
                            double progress) {
        OutgoingFile file{metadataDevicePath(name), path,
                          [bytes]() { return std::make_unique<BytesSource>(bytes); }};
        const uint64_t size = bytes.size();
        const StatusResponse status = transfer.upload({file}, progress, size);
        if (status.code != 0)
            throw SimError("the host could not store " + path + ": " + status.description);
    };
    sendMetadata("Status.plist", backupPath("Status.plist"),
                 makeStatusPlist("new", fullBackup, snapshotUuid, startTime), 3.0);
    transfer.createDirectory(backupPath("Snapshot"));

    // Files, in batches, into the snapshot folder.
    std::set<std::string> snapshotFolders;
    std::vector<OutgoingFile> batch;
    uint64_t batchBytes = 0;
    uint64_t sentBytes = 0;
    auto progress = [&] {
        return 5.0 + 85.0 * (uploadBytes ? double(sentBytes) / double(uploadBytes) : 1.0);
    };
    auto flush = [&] {
        if (batch.empty())
            return;
        const StatusResponse status = transfer.upload(batch, progress(), batchBytes);
        if (status.code != 0)
            throw SimError("upload status " + std::to_string(status.code) + " " + status.description);
        sentBytes += batchBytes;
        batch.clear();
        batchBytes = 0;
    };
    try {
        plan.forEachUpload([&](const UploadItem& item) {
            const std::string prefix = item.fileId.substr(0, 2);
            if (snapshotFolders.insert(prefix).second) {
                flush();
                transfer.createDirectory(backupPath("Snapshot/" + prefix));
            }
            ManifestEntry entry;
            entry.fileId = item.fileId;
            entry.domain = item.domain;
            entry.relativePath = item.relativePath;
            entry.size = item.size;
            entry.protectionClass = item.protectionClass;
            entry.encryptionKey = item.encryptionKey;
            const std::string localPath = m_device.domainFolder(item.domain) + "/" + item.relativePath;
            batch.push_back(
                OutgoingFile{m_device.devicePathOf(item.domain, item.relativePath),
                             backupPath("Snapshot/" + backupContentPath(item.fileId)),
                             [&codec, entry, localPath]() { return codec.openContent(entry, localPath); }});
            batchBytes += item.storedSize;
            if (batch.size() >= kBatchFiles || batchBytes >= kBatchBytes)
                flush();
        });
        flush();
    } catch (const ConnectionClosed&) {
        throw;
    } catch (const SimError& failure) {
        logError(m_device.udid() + ": " + failure.what());
        fail(104, "Multiple errors uploading files (MBErrorDomain/104)");
        return;
    }

    const std::string manifestDb = plan.finishManifest();
    const std::string manifestPlist = makeManifestPlist(m_device, codec, startTime);
    OutgoingFile database{metadataDevicePath("Manifest.db"), backupPath("Snapshot/Manifest.db"),
                          [manifestDb]() { return openFileSource(manifestDb, fs::file_size(manifestDb)); }};
    if (transfer.upload({database}, 91.0, fs::file_size(manifestDb)).code != 0) {
        fail(104, "Multiple errors uploading files (MBErrorDomain/104)");
        return;
    }
    sendMetadata("Manifest.plist", backupPath("Snapshot/Manifest.plist"), manifestPlist, 92.0);

    // Into place: the content folders first, then every sent file and the new manifest.
    for (const std::string& prefix : plan.uploadPrefixes())
        transfer.createDirectory(backupPath(prefix));
    std::vector<std::pair<std::string, std::string>> moves;
    auto flushMoves = [&] {
        if (moves.empty())
            return;
        const StatusResponse status = transfer.moveItems(moves, 95.0);
        if (status.code != 0)
            throw SimError("the host could not move files into place: " + status.description);
        moves.clear();
    };
    plan.forEachUpload([&](const UploadItem& item) {
        const std::string content = backupContentPath(item.fileId);
        moves.emplace_back(backupPath("Snapshot/" + content), backupPath(content));
        if (moves.size() >= kItemsPerMessage)
            flushMoves();
    });
    moves.emplace_back(backupPath("Snapshot/Manifest.db"), backupPath("Manifest.db"));
    moves.emplace_back(backupPath("Snapshot/Manifest.plist"), backupPath("Manifest.plist"));
    flushMoves();

    std::vector<std::string> removals;
    plan.forEachRemoved([&](const std::string& fileId) {
        removals.push_back(backupPath(backupContentPath(fileId)));
        if (removals.size() >= kItemsPerMessage) {
            transfer.removeItems(removals, 97.0);
            removals.clear();
        }
    });
    removals.push_back(backupPath("Snapshot"));
    transfer.removeItems(removals, 98.0);

    sendMetadata("Status.plist", backupPath("Status.plist"),
                 makeStatusPlist("finished", fullBackup, snapshotUuid, int64_t(std::time(nullptr))), 100.0);
    logInfo(m_device.udid() + " backup finished");
    m_link.sendResponse(0, "");
}

} // namespace iphonesim
