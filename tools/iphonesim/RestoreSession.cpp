#include "RestoreSession.h"

#include "AtomicFile.h"
#include "BackupCodec.h"
#include "DeviceKeys.h"
#include "DeviceLink.h"
#include "DeviceServices.h"
#include "EncryptedBackupCodec.h"
#include "HostTransfer.h"
#include "ManifestEntry.h"
#include "PlainBackupCodec.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimLog.h"
#include "SimStream.h"
#include "SqliteHandle.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

constexpr size_t kBatchFiles = 1000;
constexpr uint64_t kBatchBytes = 64ull << 20;

bool isAppDomain(const std::string& domain)
{
    return domain.rfind("AppDomain", 0) == 0;
}

bool isPathComponent(const std::string& text)
{
    return !text.empty() && text.size() <= 255 && text != "." && text != ".." &&
           text.find('/') == std::string::npos && text.find('\0') == std::string::npos;
}

// Restored file content, staged until every file has arrived.
class StagedSink : public ContentSink
{
public:
    // space: the device's free bytes left for the restore, shared by all files.
    StagedSink(BackupCodec& codec, const ManifestEntry& entry, const std::string& path, uint64_t& space)
        : m_file(path), m_inner(codec.restoreContent(entry, m_file)), m_space(space)
    {
    }
    void write(const char* data, size_t length) override
    {
        if (length > m_space)
            throw SimError("the device ran out of space");
        m_space -= length;
        m_inner->write(data, length);
    }
    void finish() override
    {
        m_inner->finish();
        m_file.commit();
    }

private:
    AtomicFileWriter m_file;
    std::unique_ptr<ContentSink> m_inner;
    uint64_t& m_space;
};

// Makes every folder from root down to root/relative a real folder: a symbolic link or a file in the way is
// replaced, so that nothing a backup restores is ever written through a link to outside the device's files.
void makeRealFolders(const fs::path& root, const std::string& relative)
{
    fs::path current = root;
    std::error_code error;
    fs::create_directories(root, error);
    for (const fs::path& part : fs::path(relative)) {
        current /= part;
        struct stat info = {};
        if (::lstat(current.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                continue;
            fs::remove(current, error);
        }
        if (::mkdir(current.c_str(), 0755) != 0 && errno != EEXIST)
            throw SimError("cannot create " + current.string() + ": " + std::strerror(errno));
    }
}

// Removes whatever is at path (a file, a link or a whole folder) without following links.
void removeItem(const fs::path& path)
{
    std::error_code error;
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    if (S_ISDIR(info.st_mode))
        fs::remove_all(path, error);
    else
        fs::remove(path, error);
}

} // namespace

RestoreOptions RestoreOptions::fromRequest(plist_t options)
{
    RestoreOptions result;
    result.restoreSystemFiles = dictBool(options, "RestoreSystemFiles").value_or(false);
    result.preserveSettings = dictBool(options, "RestorePreserveSettings").value_or(true);
    result.shouldReboot = dictBool(options, "RestoreShouldReboot").value_or(true);
    result.removeItemsNotRestored = dictBool(options, "RemoveItemsNotRestored").value_or(false);
    result.password = dictString(options, "Password").value_or("");
    return result;
}

bool RestoreOptions::restoresDomain(const std::string& domain) const
{
    if (!isValidDomainName(domain))
        return false;
    if (isAppDomain(domain))
        return true;
    if (!restoreSystemFiles)
        return false;
    if (preserveSettings && (domain == "SystemPreferencesDomain" || domain == "ManagedPreferencesDomain"))
        return false;
    return true;
}

RestoreSession::RestoreSession(SimDevice& device, DeviceLink& link, const ServiceOptions& options)
    : m_device(device), m_link(link), m_options(options)
{
}

void RestoreSession::fail(uint64_t code, const std::string& description)
{
    logInfo(m_device.udid() + " restore failed: " + description);
    m_link.sendResponse(code, description);
}

bool RestoreSession::checkRefusals()
{
    FaultPlan& faults = m_device.faults();
    const DeviceSettings settings = m_device.settings();
    if (faults.find(FaultKind::Refuse)) {
        fail(212, "Unable to restore until Setup is finished (MBErrorDomain/212)");
    } else if (faults.find(FaultKind::Locked)) {
        fail(208, "Device locked (MBErrorDomain/208)");
    } else if (const auto custom = faults.find(FaultKind::Custom)) {
        fail(custom->code, custom->description);
    } else if (settings.findMyIPhone) {
        fail(211, "Find My iPhone must be disabled before restoring (MBErrorDomain/211)");
    } else if (settings.restorePendingReboot) {
        fail(102,
             "Failed to move the incomplete restore directory into place at path \"/var/.backup.i\" "
             "(MBErrorDomain/102). Underlying error: \".backup.i\" couldn't be moved to \"var\" because an "
             "item with the same name already exists. (NSCocoaErrorDomain/516)");
    } else {
        return true;
    }
    return false;
}

RestoreSession::~RestoreSession() = default;

void RestoreSession::run(plist_t request)
{
    auto source = dictString(request, "SourceIdentifier");
    if (!source)
        source = dictString(request, "TargetIdentifier");
    if (!source || !isPathComponent(*source)) {
        fail(1, "Invalid source identifier (MBErrorDomain/1)");
        return;
    }
    if (!checkRefusals())
        return;
    const RestoreOptions options = RestoreOptions::fromRequest(dictItem(request, "Options", PLIST_DICT));
    m_work = m_device.scratchRoot() + "/restore-" + randomUuid();
    std::error_code error;
    fs::create_directories(m_work + "/staging", error);
    struct RemoveWork
    {
        RestoreSession& session;
        ~RemoveWork()
        {
            session.m_plan.reset();
            std::error_code ignored;
            fs::remove_all(session.m_work, ignored);
        }
    } removeWork{*this};

    // The backup's properties and manifest.
    HostTransfer transfer(m_link, m_device.faults(), m_options.fileBlockSize);
    const std::string hostFolder = *source + "/";
    const std::map<std::string, std::string> metadata = {
        {hostFolder + "Status.plist", m_work + "/Status.plist"},
        {hostFolder + "Manifest.plist", m_work + "/Manifest.plist"},
        {hostFolder + "Manifest.db", m_work + "/Manifest.db"},
        {hostFolder + "Info.plist", m_work + "/Info.plist"}};
    std::vector<std::string> metadataPaths;
    for (const auto& item : metadata)
        metadataPaths.push_back(item.first);
    transfer.download(metadataPaths, 1.0, [&](const std::string& path) -> std::unique_ptr<ContentSink> {
        const bool database = path == hostFolder + "Manifest.db";
        return openLimitedFileSink(metadata.at(path), database ? 16ull << 30 : 64ull << 20);
    });
    PlistPtr status = plistFromFile(m_work + "/Status.plist", 1 << 20);
    PlistPtr manifest = plistFromFile(m_work + "/Manifest.plist", 64u << 20);
    if (dictString(status.get(), "SnapshotState") != std::string("finished") || !manifest ||
        plist_get_node_type(manifest.get()) != PLIST_DICT || !fs::exists(m_work + "/Manifest.db")) {
        fail(205, "Error reading backup properties (MBErrorDomain/205)");
        return;
    }
    if (dictBool(manifest.get(), "IsEncrypted").value_or(false)) {
        EncryptedBackupCodec::Unlocked unlocked =
            EncryptedBackupCodec::unlockBackup(manifest.get(), options.password);
        if (!unlocked.codec) {
            fail(unlocked.errorCode, unlocked.error);
            return;
        }
        m_codec = std::move(unlocked.codec);
    } else {
        m_codec = std::make_unique<PlainBackupCodec>();
    }

    uint64_t totalBytes = 0;
    if (!planItems(options, manifest.get(), totalBytes))
        return;
    if (m_device.versionAtLeast(27) && isSparseWithAppData()) {
        // Reported of these systems: such a restore is dropped at 0 % (and partial restores have reset
        // phones), so the device does not take it.
        logInfo(m_device.udid() + " drops a sparse restore with app data");
        m_link.stream().abort();
        throw ConnectionClosed("sparse restore with app data dropped");
    }
    const DeviceSettings settings = m_device.settings();
    if (m_device.faults().find(FaultKind::NoSpace) || totalBytes > settings.freeSpace) {
        fail(105, "Insufficient free disk space on device to restore (" + std::to_string(settings.freeSpace) +
                      " < " + std::to_string(totalBytes) + ") (MBErrorDomain/105)");
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

    if (!stageFiles(transfer, hostFolder, totalBytes, settings.freeSpace))
        return;
    // Every file arrived: apply them to the device.
    if (options.removeItemsNotRestored)
        removeItemsNotInBackup();
    applyItems();
    logInfo(m_device.udid() + " restore finished");
    // Newer devices take no second restore until they restarted, whatever the request asked.
    if (!options.shouldReboot || m_device.versionAtLeast(16))
        m_device.updateSettings([](DeviceSettings& current) { current.restorePendingReboot = true; });
    if (options.shouldReboot && m_options.rebootDevice)
        m_options.rebootDevice(m_device.udid());
    m_link.sendResponse(0, "");
}

bool RestoreSession::isSparseWithAppData() const
{
    if (!m_hasAppData)
        return false;
    uint64_t deviceSystemFiles = 0;
    std::error_code error;
    for (const auto& domain : fs::directory_iterator(m_device.filesRoot(), error)) {
        if (!domain.is_directory() || isAppDomain(domain.path().filename().string()))
            continue;
        for (auto it = fs::recursive_directory_iterator(domain.path(), error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            deviceSystemFiles += it->is_regular_file() ? 1 : 0;
    }
    return m_systemFiles * 2 < deviceSystemFiles;
}

bool RestoreSession::planItems(const RestoreOptions& options, plist_t manifest, uint64_t& totalBytes)
{
    const bool strictDomains = m_device.versionAtLeast(16);
    plist_t applications = dictItem(manifest, "Applications", PLIST_DICT);
    // The entries to restore go into a work table, so that any number of files fits.
    m_plan = std::make_unique<SqliteDb>(m_work + "/restore.db", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    m_plan->execute("PRAGMA journal_mode=OFF");
    m_plan->execute(
        "CREATE TABLE Items (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, "
        "mode INTEGER, mtime INTEGER, size INTEGER, class INTEGER, key BLOB, target TEXT)");
    try {
        m_codec->openManifestDb(m_work + "/Manifest.db");
        SqliteDb backupManifest(m_work + "/Manifest.db", SQLITE_OPEN_READONLY);
        SqliteStatement rows(backupManifest, "SELECT domain, relativePath, flags, file FROM Files");
        SqliteStatement insert(*m_plan, "INSERT OR REPLACE INTO Items VALUES (?,?,?,?,?,?,?,?,?,?)");
        m_plan->execute("BEGIN");
        while (rows.step()) {
            ManifestEntry entry;
            entry.domain = rows.text(0);
            entry.relativePath = rows.text(1);
            entry.flags = int(rows.integer(2));
            if (isAppDomain(entry.domain))
                m_hasAppData = true;
            else if (entry.flags == ManifestEntry::File)
                ++m_systemFiles;
            if (strictDomains && entry.domain.find('/') != std::string::npos) {
                m_plan->execute("ROLLBACK");
                fail(205, "Invalid domain name: " + entry.domain + " (MBErrorDomain/205)");
                return false;
            }
            if (strictDomains && entry.domain.rfind("AppDomain-", 0) == 0 &&
                !dictItem(applications, entry.domain.substr(10).c_str(), PLIST_DICT)) {
                m_plan->execute("ROLLBACK");
                fail(205, "Unknown domain name: " + entry.domain + " (MBErrorDomain/205)");
                return false;
            }
            if (!options.restoresDomain(entry.domain) || !isSafeRelativePath(entry.relativePath) ||
                rows.bytes(3) > kMaxFileRecord || !m_codec->readFileRecord(rows.blob(3), entry))
                continue;
            // The ID is computed, never taken from the row.
            entry.fileId = backupFileId(entry.domain, entry.relativePath);
            if (entry.flags != ManifestEntry::File && entry.flags != ManifestEntry::Directory &&
                entry.flags != ManifestEntry::SymbolicLink)
                continue;
            // A domain is a folder, never a file or a link; a link needs a target.
            if (entry.flags != ManifestEntry::Directory && entry.relativePath.empty())
                continue;
            if (entry.flags == ManifestEntry::SymbolicLink &&
                (entry.target.empty() || entry.target.size() > 4096 ||
                 entry.target.find('\0') != std::string::npos))
                continue;
            insert.bind(1, entry.fileId)
                .bind(2, entry.domain)
                .bind(3, entry.relativePath)
                .bind(4, int64_t(entry.flags))
                .bind(5, int64_t(entry.mode))
                .bind(6, entry.lastModified)
                .bind(7, int64_t(entry.size))
                .bind(8, int64_t(entry.protectionClass))
                .bindBlob(9, entry.encryptionKey)
                .bind(10, entry.target)
                .run();
            if (entry.flags == ManifestEntry::File)
                totalBytes += entry.size;
        }
        m_plan->execute("COMMIT");
    } catch (const SimError& failure) {
        logError(m_device.udid() + ": " + failure.what());
        fail(205,
             "Error reading backup properties (MBErrorDomain/205). Underlying error: the manifest database "
             "cannot be read.");
        return false;
    }
    return true;
}

bool RestoreSession::stageFiles(HostTransfer& transfer, const std::string& hostFolder, uint64_t totalBytes,
                                uint64_t freeSpace)
{
    // Files may be larger than their manifest rows say (a host that changed a file does not always update
    // its size), so only the device's free space limits them.
    uint64_t space = freeSpace;
    uint64_t failures = 0;
    uint64_t receivedBytes = 0;
    std::map<std::string, ManifestEntry> batch;
    uint64_t batchBytes = 0;
    auto flush = [&] {
        if (batch.empty())
            return;
        std::vector<std::string> paths;
        for (const auto& item : batch)
            paths.push_back(item.first);
        const double progress =
            5.0 + 85.0 * (totalBytes ? double(receivedBytes + batchBytes) / double(totalBytes) : 1.0);
        const DownloadOutcome outcome =
            transfer.download(paths, progress, [&](const std::string& path) -> std::unique_ptr<ContentSink> {
                const ManifestEntry& entry = batch.at(path);
                return std::make_unique<StagedSink>(*m_codec, entry, m_work + "/staging/" + entry.fileId,
                                                    space);
            });
        failures += outcome.failed.size();
        for (const auto& [path, text] : outcome.failed)
            logInfo(m_device.udid() + " restore: " + path + " did not arrive: " + text);
        receivedBytes += batchBytes;
        batch.clear();
        batchBytes = 0;
    };
    SqliteStatement files(*m_plan, "SELECT fileID, domain, relativePath, size, class, key FROM Items "
                                   "WHERE flags=1 ORDER BY domain, relativePath");
    while (files.step()) {
        ManifestEntry entry;
        entry.fileId = files.text(0);
        entry.domain = files.text(1);
        entry.relativePath = files.text(2);
        entry.size = uint64_t(files.integer(3));
        entry.protectionClass = uint8_t(files.integer(4));
        entry.encryptionKey = files.blob(5);
        batch[hostFolder + backupContentPath(entry.fileId)] = entry;
        batchBytes += entry.size;
        if (batch.size() >= kBatchFiles || batchBytes >= kBatchBytes)
            flush();
    }
    flush();
    if (failures > 0 || m_device.faults().find(FaultKind::Error205)) {
        fail(205, "Multiple errors downloading files (MBErrorDomain/205)");
        return false;
    }
    return true;
}

void RestoreSession::removeItemsNotInBackup()
{
    std::error_code error;
    SqliteStatement domains(*m_plan, "SELECT DISTINCT domain FROM Items");
    SqliteStatement known(*m_plan, "SELECT 1 FROM Items WHERE fileID=?");
    while (domains.step()) {
        const std::string domain = domains.text(0);
        const fs::path root = m_device.domainFolder(domain);
        std::vector<fs::path> extra;
        for (auto it = fs::recursive_directory_iterator(root, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            const std::string relative = it->path().lexically_relative(root).generic_string();
            known.bind(1, backupFileId(domain, relative));
            if (!known.step())
                extra.push_back(it->path());
            known.reset();
        }
        error.clear();
        for (const fs::path& path : extra)
            removeItem(path);
    }
}

void RestoreSession::applyItems()
{
    SqliteStatement items(*m_plan,
                          "SELECT fileID, domain, relativePath, flags, mode, mtime, target FROM Items "
                          "ORDER BY flags=4, domain, relativePath");
    // A link whose path is also the folder of other restored items would hide them: it is left out.
    SqliteStatement hasChildren(*m_plan, "SELECT 1 FROM Items WHERE domain=? AND relativePath>=? AND "
                                         "relativePath<? LIMIT 1");
    while (items.step()) {
        const std::string fileId = items.text(0);
        const std::string domain = items.text(1);
        const std::string relative = items.text(2);
        const fs::path root = m_device.domainFolder(domain);
        const fs::path target = root / relative;
        const int flags = int(items.integer(3));
        const mode_t mode = mode_t(items.integer(4) & 07777);
        if (flags == ManifestEntry::Directory) {
            makeRealFolders(root, relative);
            continue;
        }
        makeRealFolders(root, fs::path(relative).parent_path().string());
        if (flags == ManifestEntry::SymbolicLink) {
            hasChildren.bind(1, domain).bind(2, relative + "/").bind(3, relative + "0");
            const bool folder = hasChildren.step();
            hasChildren.reset();
            if (folder)
                continue;
            removeItem(target);
            if (::symlink(items.text(6).c_str(), target.c_str()) != 0)
                throw SimError("cannot restore the link " + target.string() + ": " + std::strerror(errno));
            continue;
        }
        struct stat info = {};
        if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            removeItem(target);
        const std::string staged = m_work + "/staging/" + fileId;
        if (::rename(staged.c_str(), target.c_str()) != 0)
            throw SimError("cannot restore " + target.string());
        const int64_t mtime = items.integer(5);
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        ::utimensat(AT_FDCWD, target.c_str(), times, 0);
        if (mode != 0)
            ::chmod(target.c_str(), mode | S_IRUSR | S_IWUSR);
    }
}

} // namespace iphonesim
