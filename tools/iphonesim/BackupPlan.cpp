#include "BackupPlan.h"

#include "BackupCodec.h"
#include "ManifestEntry.h"
#include "SimDevice.h"
#include "SimError.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace iphonesim {

namespace fs = std::filesystem;

void createManifestSchema(SqliteDb& db, const std::string& schema)
{
    db.execute(("CREATE TABLE " + schema +
                "Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, "
                "flags INTEGER, file BLOB)")
                   .c_str());
    db.execute(("CREATE TABLE " + schema + "Properties (key TEXT PRIMARY KEY, value BLOB)").c_str());
}

void createManifestIndexes(SqliteDb& db, const std::string& schema)
{
    db.execute(("CREATE INDEX " + schema + "FilesDomainIdx ON Files(domain)").c_str());
    db.execute(("CREATE INDEX " + schema + "FilesRelativePathIdx ON Files(relativePath)").c_str());
    db.execute(("CREATE INDEX " + schema + "FilesFlagsIdx ON Files(flags)").c_str());
}

namespace {

std::string sqlLiteral(const std::string& path)
{
    // Paths go into ATTACH statements; a quote would end the literal.
    if (path.find('\'') != std::string::npos)
        throw SimError("path with a quote: " + path);
    return "'" + path + "'";
}

} // namespace

BackupPlan::BackupPlan(SimDevice& device, BackupCodec& codec, std::string workFolder,
                       std::string previousManifest)
    : m_device(device), m_codec(codec), m_workFolder(std::move(workFolder)),
      m_previousManifest(std::move(previousManifest))
{
    m_manifestPath = m_workFolder + "/Manifest.db";
    const std::string planPath = m_workFolder + "/plan.db";
    ::unlink(m_manifestPath.c_str());
    ::unlink(planPath.c_str());
    m_db = std::make_unique<SqliteDb>(planPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    m_db->execute("PRAGMA journal_mode=OFF");
    m_db->execute("PRAGMA synchronous=OFF"); // scratch data of one backup, thrown away afterwards
    // size: of the device file; stored: of its content in the backup; class and key: what the content is
    // encrypted with.
    m_db->execute("CREATE TABLE Upload (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, "
                  "size INTEGER, stored INTEGER, class INTEGER, key BLOB)");
    m_db->execute("CREATE TABLE Unchanged (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, "
                  "size INTEGER, stored INTEGER, class INTEGER, key BLOB)");
    m_db->execute("CREATE TABLE Removed (fileID TEXT PRIMARY KEY)");
    // The new Manifest.db is a database of its own, holding only what devices write.
    m_db->execute(("ATTACH DATABASE " + sqlLiteral(m_manifestPath) + " AS manifest").c_str());
    // The new manifest is scratch data until it has been sent; a failed backup builds it again.
    m_db->execute("PRAGMA manifest.journal_mode=OFF");
    m_db->execute("PRAGMA manifest.synchronous=OFF");
    // Random file IDs make inserts touch pages all over the tables: a larger, bounded page cache.
    m_db->execute("PRAGMA cache_size=-32768");
    m_db->execute("PRAGMA manifest.cache_size=-32768");
    createManifestSchema(*m_db, "manifest.");
    if (!m_previousManifest.empty()) {
        m_db->execute(("ATTACH DATABASE " + sqlLiteral(m_previousManifest) + " AS previous").c_str());
        // A Manifest.db from the host is outside data: without a usable Files table it is not used.
        try {
            m_findPrevious =
                std::make_unique<SqliteStatement>(*m_db, "SELECT file FROM previous.Files WHERE fileID=?");
        } catch (const SimError&) {
            m_db->execute("DETACH DATABASE previous");
            m_previousManifest.clear();
        }
    }
    m_insertFile = std::make_unique<SqliteStatement>(
        *m_db, "INSERT OR REPLACE INTO manifest.Files (fileID, domain, relativePath, flags, file) "
               "VALUES (?,?,?,?,?)");
    m_insertUpload = std::make_unique<SqliteStatement>(
        *m_db, "INSERT OR REPLACE INTO Upload (fileID, domain, relativePath, size, stored, class, key) "
               "VALUES (?,?,?,?,?,?,?)");
    m_insertUnchanged = std::make_unique<SqliteStatement>(
        *m_db, "INSERT OR REPLACE INTO Unchanged (fileID, domain, relativePath, size, stored, class, key) "
               "VALUES (?,?,?,?,?,?,?)");
}

BackupPlan::~BackupPlan()
{
    m_insertFile.reset();
    m_findPrevious.reset();
    m_insertUpload.reset();
    m_insertUnchanged.reset();
    m_db.reset();
    ::unlink((m_workFolder + "/plan.db").c_str());
}

void BackupPlan::scan()
{
    std::vector<std::string> domains;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_device.filesRoot(), error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(error) && isValidDomainName(name))
            domains.push_back(name);
    }
    std::sort(domains.begin(), domains.end());
    m_db->execute("BEGIN");
    for (const std::string& domain : domains)
        scanDomain(domain);
    if (m_findPrevious) {
        m_findPrevious.reset();
        // Content files of the previous backup whose file is gone from the device.
        m_db->execute("INSERT INTO Removed SELECT fileID FROM previous.Files WHERE flags=1 AND fileID NOT IN "
                      "(SELECT fileID FROM manifest.Files)");
    }
    m_db->execute("COMMIT");
    if (!m_previousManifest.empty())
        m_db->execute("DETACH DATABASE previous");
    m_insertFile.reset();
    m_insertUpload.reset();
    m_insertUnchanged.reset();
}

void BackupPlan::scanDomain(const std::string& domain)
{
    const fs::path root = m_device.domainFolder(domain);
    auto entryOf = [&](const fs::path& path, const std::string& relativePath) -> bool {
        struct stat info = {};
        if (::lstat(path.c_str(), &info) != 0)
            return false;
        ManifestEntry entry;
        entry.domain = domain;
        entry.relativePath = relativePath;
        entry.fileId = backupFileId(domain, relativePath);
        if (S_ISREG(info.st_mode)) {
            entry.flags = ManifestEntry::File;
            entry.size = uint64_t(info.st_size);
            entry.protectionClass = fileProtectionClass(relativePath);
        } else if (S_ISDIR(info.st_mode)) {
            entry.flags = ManifestEntry::Directory;
        } else if (S_ISLNK(info.st_mode)) {
            entry.flags = ManifestEntry::SymbolicLink;
            std::error_code linkError;
            entry.target = fs::read_symlink(path, linkError).string();
        } else {
            return false; // sockets, devices and pipes are not backed up
        }
        entry.mode = uint32_t(info.st_mode & 0xFFFF);
        entry.inode = uint64_t(info.st_ino);
        entry.lastModified = int64_t(info.st_mtim.tv_sec);
        entry.lastStatusChange = int64_t(info.st_ctim.tv_sec);
        entry.birth = int64_t(info.st_mtim.tv_sec);
        addEntry(entry);
        return true;
    };
    entryOf(root, "");
    std::error_code error;
    for (auto it =
             fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string relativePath = it->path().lexically_relative(root).generic_string();
        if (!isSafeRelativePath(relativePath))
            continue;
        entryOf(it->path(), relativePath);
    }
}

void BackupPlan::addEntry(ManifestEntry& entry)
{
    // A file is unchanged when the host's previous record shows the same size, time, inode and mode.
    std::optional<ManifestEntry> previous;
    if (m_findPrevious && entry.flags == ManifestEntry::File) {
        m_findPrevious->bind(1, entry.fileId);
        if (m_findPrevious->step() && m_findPrevious->bytes(0) <= kMaxFileRecord) {
            ManifestEntry candidate;
            if (m_codec.readFileRecord(m_findPrevious->blob(0), candidate) && candidate.size == entry.size &&
                candidate.lastModified == entry.lastModified && candidate.inode == entry.inode &&
                candidate.mode == entry.mode)
                previous = std::move(candidate);
        }
        m_findPrevious->reset();
    }
    const bool unchanged = m_codec.prepareEntry(entry, previous ? &*previous : nullptr);
    m_insertFile->bind(1, entry.fileId)
        .bind(2, entry.domain)
        .bind(3, entry.relativePath)
        .bind(4, int64_t(entry.flags))
        .bindBlob(5, m_codec.fileRecord(entry))
        .run();
    if (entry.flags != ManifestEntry::File)
        return;
    ++m_scannedFiles;
    SqliteStatement& insert = unchanged ? *m_insertUnchanged : *m_insertUpload;
    insert.bind(1, entry.fileId)
        .bind(2, entry.domain)
        .bind(3, entry.relativePath)
        .bind(4, int64_t(entry.size))
        .bind(5, int64_t(m_codec.storedSize(entry)))
        .bind(6, int64_t(entry.protectionClass))
        .bindBlob(7, entry.encryptionKey)
        .run();
}

std::vector<std::string> BackupPlan::unchangedPrefixes()
{
    std::vector<std::string> prefixes;
    SqliteStatement query(*m_db, "SELECT DISTINCT substr(fileID, 1, 2) FROM Unchanged ORDER BY 1");
    while (query.step())
        prefixes.push_back(query.text(0));
    return prefixes;
}

std::vector<std::pair<std::string, uint64_t>> BackupPlan::unchangedFiles(const std::string& prefix)
{
    std::vector<std::pair<std::string, uint64_t>> files;
    // A key range instead of substr(), so the primary key index answers it.
    std::string upper = prefix;
    if (!upper.empty())
        upper.back() = char(upper.back() + 1);
    SqliteStatement query(*m_db, "SELECT fileID, stored FROM Unchanged WHERE fileID >= ? AND fileID < ?");
    query.bind(1, prefix).bind(2, upper);
    while (query.step())
        files.emplace_back(query.text(0), uint64_t(query.integer(1)));
    return files;
}

void BackupPlan::markMissing(const std::string& fileId)
{
    SqliteStatement move(*m_db, "INSERT OR REPLACE INTO Upload SELECT * FROM Unchanged WHERE fileID=?");
    move.bind(1, fileId).run();
    SqliteStatement remove(*m_db, "DELETE FROM Unchanged WHERE fileID=?");
    remove.bind(1, fileId).run();
}

uint64_t BackupPlan::uploadCount()
{
    SqliteStatement query(*m_db, "SELECT count(*) FROM Upload");
    return query.step() ? uint64_t(query.integer(0)) : 0;
}

uint64_t BackupPlan::uploadBytes()
{
    SqliteStatement query(*m_db, "SELECT coalesce(sum(stored), 0) FROM Upload");
    return query.step() ? uint64_t(query.integer(0)) : 0;
}

void BackupPlan::forEachUpload(const std::function<void(const UploadItem&)>& visit)
{
    SqliteStatement query(*m_db, "SELECT fileID, domain, relativePath, size, stored, class, key FROM Upload "
                                 "ORDER BY domain, relativePath");
    while (query.step()) {
        UploadItem item;
        item.fileId = query.text(0);
        item.domain = query.text(1);
        item.relativePath = query.text(2);
        item.size = uint64_t(query.integer(3));
        item.storedSize = uint64_t(query.integer(4));
        item.protectionClass = uint8_t(query.integer(5));
        item.encryptionKey = query.blob(6);
        visit(item);
    }
}

std::vector<std::string> BackupPlan::uploadPrefixes()
{
    std::vector<std::string> prefixes;
    SqliteStatement query(*m_db, "SELECT DISTINCT substr(fileID, 1, 2) FROM Upload ORDER BY 1");
    while (query.step())
        prefixes.push_back(query.text(0));
    return prefixes;
}

void BackupPlan::forEachRemoved(const std::function<void(const std::string&)>& visit)
{
    SqliteStatement query(*m_db, "SELECT fileID FROM Removed ORDER BY fileID");
    while (query.step()) {
        const std::string fileId = query.text(0);
        // Names from the host's manifest become paths: only well-formed file IDs are used.
        if (fileId.size() == 40 && fileId.find_first_not_of("0123456789abcdef") == std::string::npos)
            visit(fileId);
    }
}

std::string BackupPlan::finishManifest()
{
    createManifestIndexes(*m_db, "manifest.");
    m_db->execute("DETACH DATABASE manifest");
    m_codec.sealManifestDb(m_manifestPath);
    return m_manifestPath;
}

} // namespace iphonesim
