#include "EncryptedBackupCodec.h"

#include "AtomicFile.h"
#include "CbcStream.h"
#include "CryptoPrimitives.h"
#include "DeviceBackupKeys.h"
#include "FdHandle.h"
#include "SimError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace iphonesim {

namespace {

using backupcrypto::CbcStream;
using backupcrypto::CryptoError;

constexpr size_t kChunk = 256 * 1024;
constexpr size_t kWrappedKeyLength = 40;

// Device file bytes encrypted on their way to the host.
class EncryptingSource : public ContentSource
{
public:
    EncryptingSource(std::unique_ptr<ContentSource> plain, const std::string& key)
        : m_plain(std::move(plain)), m_cipher(CbcStream::Direction::Encrypt, key), m_input(kChunk),
          m_output(CbcStream::outputCapacity(kChunk))
    {
    }

    size_t read(char* buffer, size_t capacity) override
    {
        try {
            while (m_offset == m_length) {
                if (m_finished)
                    return 0;
                m_offset = 0;
                const size_t got = m_plain->read(m_input.data(), m_input.size());
                if (got > 0) {
                    m_length = m_cipher.update(m_input.data(), got, m_output.data());
                } else {
                    m_length = m_cipher.finish(m_output.data());
                    m_finished = true;
                }
            }
        } catch (const CryptoError& failure) {
            throw SimError(std::string("cannot encrypt a file: ") + failure.what());
        }
        const size_t count = std::min(capacity, m_length - m_offset);
        std::memcpy(buffer, m_output.data() + m_offset, count);
        m_offset += count;
        return count;
    }

private:
    std::unique_ptr<ContentSource> m_plain;
    CbcStream m_cipher;
    std::vector<char> m_input;
    std::vector<char> m_output;
    size_t m_offset = 0;
    size_t m_length = 0;
    bool m_finished = false;
};

// Backup bytes decrypted on their way into the staged device file.
class DecryptingSink : public ContentSink
{
public:
    DecryptingSink(AtomicFileWriter& file, const std::string& key)
        : m_file(file), m_cipher(CbcStream::Direction::Decrypt, key),
          m_output(CbcStream::outputCapacity(kChunk))
    {
    }

    void write(const char* data, size_t length) override
    {
        while (length > 0) {
            const size_t slice = std::min(length, kChunk);
            const size_t produced = m_cipher.update(data, slice, m_output.data());
            m_file.write(m_output.data(), produced);
            data += slice;
            length -= slice;
        }
    }

    void finish() override
    {
        size_t produced = 0;
        try {
            produced = m_cipher.finish(m_output.data());
        } catch (const CryptoError&) {
            throw SimError(m_file.path() + ": the backup's content does not decrypt");
        }
        m_file.write(m_output.data(), produced);
    }

private:
    AtomicFileWriter& m_file;
    CbcStream m_cipher;
    std::vector<char> m_output;
};

void transformFileInPlace(const std::string& path, const std::string& key, CbcStream::Direction direction)
{
    FdHandle input(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.valid())
        throw SimError("cannot open " + path + ": " + std::strerror(errno));
    AtomicFileWriter output(path);
    std::vector<char> in(kChunk);
    std::vector<char> out(CbcStream::outputCapacity(kChunk));
    try {
        CbcStream cipher(direction, key);
        for (;;) {
            const ssize_t got = ::read(input.get(), in.data(), in.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw SimError("cannot read " + path + ": " + std::strerror(errno));
            if (got == 0)
                break;
            output.write(out.data(), cipher.update(in.data(), size_t(got), out.data()));
        }
        output.write(out.data(), cipher.finish(out.data()));
    } catch (const CryptoError& failure) {
        throw SimError(path + ": " + failure.what());
    }
    output.commit();
}

const std::string kInvalidPassword =
    "Invalid password when restoring encrypted backup (MBErrorDomain/207). Underlying error: MKBKeyBagUnlock "
    "error (-3) (MBErrorDomain/207).";

} // namespace

void encryptFileInPlace(const std::string& path, const std::string& key)
{
    transformFileInPlace(path, key, CbcStream::Direction::Encrypt);
}

void decryptFileInPlace(const std::string& path, const std::string& key)
{
    transformFileInPlace(path, key, CbcStream::Direction::Decrypt);
}

EncryptedBackupCodec::EncryptedBackupCodec(std::shared_ptr<const BackupKeySet> keys)
    : m_classKeys(keys->classKeys), m_keybagBytes(keys->keybagBytes), m_keybagUuid(keys->keybag.uuid)
{
    if (!m_classKeys.count(3) || !m_classKeys.count(kManifestKeyClass))
        throw SimError("the device's backup keys lack class 3 or 4");
}

EncryptedBackupCodec::Unlocked EncryptedBackupCodec::unlockBackup(plist_t manifest,
                                                                  const std::string& password)
{
    Unlocked result;
    const auto keybagBytes = dictData(manifest, "BackupKeyBag");
    const auto keybag = keybagBytes ? backupcrypto::BackupKeybag::parse(*keybagBytes) : std::nullopt;
    if (!keybag) {
        result.errorCode = 205;
        result.error = "Error reading backup properties (MBErrorDomain/205). Underlying error: the backup "
                       "keybag cannot be read.";
        return result;
    }
    std::optional<std::map<uint32_t, std::string>> classKeys;
    try {
        if (!password.empty())
            classKeys = keybag->unlock(password);
    } catch (const CryptoError&) {
        classKeys.reset();
    }
    if (!classKeys || classKeys->empty()) {
        result.errorCode = 207;
        result.error = kInvalidPassword;
        return result;
    }
    std::unique_ptr<EncryptedBackupCodec> codec(new EncryptedBackupCodec());
    codec->m_classKeys = std::move(*classKeys);
    codec->m_keybagBytes = *keybagBytes;
    codec->m_keybagUuid = keybag->uuid;
    if (const auto wrapped = dictData(manifest, "ManifestKey")) {
        const auto key = codec->unwrapManifestKey(*wrapped);
        if (!key) {
            result.errorCode = 205;
            result.error = "Error reading backup properties (MBErrorDomain/205). Underlying error: the "
                           "manifest key does not unwrap.";
            return result;
        }
        codec->m_openManifestKey = *key;
    }
    result.codec = std::move(codec);
    return result;
}

std::optional<std::string> EncryptedBackupCodec::unwrapManifestKey(std::string_view wrapped) const
{
    if (wrapped.size() != 4 + kWrappedKeyLength)
        return std::nullopt;
    const std::string_view key = wrapped.substr(4);
    const auto named = m_classKeys.find(backupcrypto::prefixClass(wrapped).value_or(0));
    if (named != m_classKeys.end()) {
        if (auto unwrapped = backupcrypto::unwrapKey(named->second, key))
            return unwrapped;
    }
    for (const auto& [protectionClass, classKey] : m_classKeys) {
        if (auto unwrapped = backupcrypto::unwrapKey(classKey, key))
            return unwrapped;
    }
    return std::nullopt;
}

std::optional<std::string> EncryptedBackupCodec::fileKey(const ManifestEntry& entry) const
{
    if (entry.encryptionKey.size() != 4 + kWrappedKeyLength)
        return std::nullopt;
    const std::string_view wrapped = std::string_view(entry.encryptionKey).substr(4);
    for (const uint32_t protectionClass :
         {uint32_t(entry.protectionClass), backupcrypto::prefixClass(entry.encryptionKey).value_or(0)}) {
        const auto classKey = m_classKeys.find(protectionClass);
        if (classKey == m_classKeys.end())
            continue;
        if (auto key = backupcrypto::unwrapKey(classKey->second, wrapped))
            return key;
    }
    return std::nullopt;
}

bool EncryptedBackupCodec::acceptsPrevious(plist_t manifest)
{
    if (!dictBool(manifest, "IsEncrypted").value_or(false))
        return false;
    const auto keybagBytes = dictData(manifest, "BackupKeyBag");
    const auto keybag = keybagBytes ? backupcrypto::BackupKeybag::parse(*keybagBytes) : std::nullopt;
    if (!keybag || keybag->uuid != m_keybagUuid)
        return false; // written under another password: its keys are gone
    const auto wrapped = dictData(manifest, "ManifestKey");
    const auto key = wrapped ? unwrapManifestKey(*wrapped) : std::nullopt;
    if (!key)
        return false;
    m_openManifestKey = *key;
    return true;
}

bool EncryptedBackupCodec::prepareEntry(ManifestEntry& entry, const ManifestEntry* previous)
{
    if (entry.flags != ManifestEntry::File) {
        entry.encryptionKey.clear();
        return previous != nullptr;
    }
    if (previous && !previous->encryptionKey.empty()) {
        // The host holds the content encrypted under the previous record's key: keep that key.
        ManifestEntry kept = entry;
        kept.encryptionKey = previous->encryptionKey;
        kept.protectionClass = previous->protectionClass;
        if (fileKey(kept)) {
            entry = std::move(kept);
            return true;
        }
    }
    if (!m_classKeys.count(entry.protectionClass))
        entry.protectionClass = 3;
    entry.encryptionKey =
        backupcrypto::classPrefix(entry.protectionClass) +
        backupcrypto::wrapKey(m_classKeys.at(entry.protectionClass), backupcrypto::randomBytes(32));
    return false;
}

std::string EncryptedBackupCodec::fileRecord(const ManifestEntry& entry)
{
    return encodeMbFile(entry);
}

std::unique_ptr<ContentSource> EncryptedBackupCodec::openContent(const ManifestEntry& entry,
                                                                 const std::string& localPath)
{
    const auto key = fileKey(entry);
    if (!key)
        throw SimError("no key for " + localPath);
    return std::make_unique<EncryptingSource>(openFileSource(localPath, entry.size), *key);
}

uint64_t EncryptedBackupCodec::storedSize(const ManifestEntry& entry) const
{
    return CbcStream::paddedSize(entry.size);
}

void EncryptedBackupCodec::addManifestProperties(plist_t manifest)
{
    if (m_manifestKey.empty())
        m_manifestKey = backupcrypto::randomBytes(32);
    dictSetBool(manifest, "IsEncrypted", true);
    dictSetData(manifest, "BackupKeyBag", m_keybagBytes);
    dictSetData(manifest, "ManifestKey",
                backupcrypto::classPrefix(kManifestKeyClass) +
                    backupcrypto::wrapKey(m_classKeys.at(kManifestKeyClass), m_manifestKey));
}

void EncryptedBackupCodec::sealManifestDb(const std::string& path)
{
    if (m_manifestKey.empty())
        m_manifestKey = backupcrypto::randomBytes(32);
    encryptFileInPlace(path, m_manifestKey);
}

void EncryptedBackupCodec::openManifestDb(const std::string& path)
{
    if (m_openManifestKey.empty())
        return; // a keybag without a manifest key: Manifest.db is stored in the clear
    decryptFileInPlace(path, m_openManifestKey);
    // Only a database header tells a right key from a wrong one whose padding happened to look valid.
    char header[16] = {};
    FdHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid() || ::read(file.get(), header, sizeof header) != ssize_t(sizeof header) ||
        std::memcmp(header, "SQLite format 3", 16) != 0)
        throw SimError(path + " does not decrypt into a database");
}

bool EncryptedBackupCodec::readFileRecord(const std::string& record, ManifestEntry& entry)
{
    return decodeMbFile(record, entry);
}

std::unique_ptr<ContentSink> EncryptedBackupCodec::restoreContent(const ManifestEntry& entry,
                                                                  AtomicFileWriter& file)
{
    if (entry.encryptionKey.empty())
        return openFileSink(file); // stored without a key: taken as it is
    const auto key = fileKey(entry);
    if (!key)
        throw SimError("the key of " + entry.domain + "/" + entry.relativePath + " does not unwrap");
    return std::make_unique<DecryptingSink>(file, *key);
}

} // namespace iphonesim
