#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace iphonesim {

// One row of a backup's Manifest.db: a file, directory or symbolic link of a backup domain with the
// metadata of its MBFile archive.
struct ManifestEntry
{
    enum Flags : int
    {
        File = 1,
        Directory = 2,
        SymbolicLink = 4
    };

    std::string fileId; // lower-case hexadecimal SHA-1 of domain + "-" + relativePath
    std::string domain;
    std::string relativePath;
    int flags = File;
    uint32_t mode = 0100644;
    uint64_t inode = 0;
    uint32_t userId = 501;
    uint32_t groupId = 501;
    int64_t lastModified = 0;
    int64_t lastStatusChange = 0;
    int64_t birth = 0;
    uint64_t size = 0;
    uint8_t protectionClass = 0;
    std::string target;        // symbolic links
    std::string encryptionKey; // wrapped per-file key (encrypted backups)
    std::string digest;
};

// SHA-1 of domain + "-" + relativePath, lower-case hexadecimal.
std::string backupFileId(const std::string& domain, const std::string& relativePath);
// "<first two digits>/<file id>", where a Manifest.db backup keeps a file's content.
std::string backupContentPath(const std::string& fileId);

// The MBFile keyed archive of an entry, as a binary property list.
std::string encodeMbFile(const ManifestEntry& entry);
// Reads the metadata of an MBFile archive into entry (domain, path and id stay as they are); false when the
// bytes are not an MBFile archive.
bool decodeMbFile(const std::string& archive, ManifestEntry& entry);

// The data-protection class a device file has: databases (and their journals) are protected until the device
// is unlocked (4, NSFileProtectionComplete), everything else until the first unlock (3).
uint8_t fileProtectionClass(const std::string& relativePath);

// MBFile archives are under a kilobyte; larger "file" values in a manifest from outside are not read.
constexpr size_t kMaxFileRecord = 64 * 1024;

// A relative path that stays inside its domain: not absolute, no "." or ".." parts, no empty parts, no NUL.
bool isSafeRelativePath(const std::string& relativePath);

} // namespace iphonesim
