#pragma once

#include "BackupCodec.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace iphonesim {

struct BackupKeySet;

// Encrypted backups as devices write them: the keybag and a wrapped manifest key in Manifest.plist,
// Manifest.db encrypted with the manifest key, one random key per file wrapped under the key of the file's
// protection class (4-byte little-endian class prefix + 40 bytes in the record's EncryptionKey), and file
// contents in AES-256-CBC with a zero IV and block padding, encrypted and decrypted while they stream.
class EncryptedBackupCodec : public BackupCodec
{
public:
    // The class that wraps the manifest key, written as its prefix.
    static constexpr uint32_t kManifestKeyClass = 4;

    // Backups, under the device's keys.
    explicit EncryptedBackupCodec(std::shared_ptr<const BackupKeySet> keys);

    // Restores: the backup's keybag unlocked with the password the host sent, or the device's error.
    struct Unlocked
    {
        std::unique_ptr<EncryptedBackupCodec> codec;
        uint64_t errorCode = 0;
        std::string error;
    };
    static Unlocked unlockBackup(plist_t manifest, const std::string& password);

    bool isEncrypted() const override { return true; }
    bool acceptsPrevious(plist_t manifest) override;
    bool prepareEntry(ManifestEntry& entry, const ManifestEntry* previous) override;
    std::string fileRecord(const ManifestEntry& entry) override;
    std::unique_ptr<ContentSource> openContent(const ManifestEntry& entry,
                                               const std::string& localPath) override;
    uint64_t storedSize(const ManifestEntry& entry) const override;
    void addManifestProperties(plist_t manifest) override;
    void sealManifestDb(const std::string& path) override;

    void openManifestDb(const std::string& path) override;
    bool readFileRecord(const std::string& record, ManifestEntry& entry) override;
    std::unique_ptr<ContentSink> restoreContent(const ManifestEntry& entry, AtomicFileWriter& file) override;

    // The unwrapped key of an entry: its protection class first, then the class its prefix names.
    std::optional<std::string> fileKey(const ManifestEntry& entry) const;

private:
    EncryptedBackupCodec() = default;
    // A "ManifestKey" (prefix + wrapped key) unwrapped with the class it names, else any class that can.
    std::optional<std::string> unwrapManifestKey(std::string_view wrapped) const;

    std::map<uint32_t, std::string> m_classKeys;
    std::string m_keybagBytes;
    std::string m_keybagUuid;
    std::string m_manifestKey;     // of the backup being written
    std::string m_openManifestKey; // of the Manifest.db that openManifestDb reads
};

// Encrypts or decrypts a whole file in place through a temporary file (AES-256-CBC, zero IV). Throws
// SimError.
void encryptFileInPlace(const std::string& path, const std::string& key);
void decryptFileInPlace(const std::string& path, const std::string& key);

} // namespace iphonesim
