#include "DeviceBackupKeys.h"

#include "CryptoPrimitives.h"
#include "DeviceSettings.h"
#include "Plist.h"
#include "SimError.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace iphonesim {

namespace {

constexpr const char* kKeybag = "Keybag";
constexpr const char* kClassKeys = "ClassKeys";
constexpr const char* kPassword = "Password";

} // namespace

DeviceBackupKeys::DeviceBackupKeys(std::string path) : m_path(std::move(path))
{
}

void DeviceBackupKeys::loadLocked()
{
    if (m_loaded)
        return;
    m_loaded = true;
    PlistPtr stored = plistFromFile(m_path, 1 << 20);
    const auto keybagBytes = dictData(stored.get(), kKeybag);
    plist_t classKeys = dictItem(stored.get(), kClassKeys, PLIST_DICT);
    if (!keybagBytes || !classKeys)
        return;
    auto keybag = backupcrypto::BackupKeybag::parse(*keybagBytes);
    if (!keybag)
        return; // damaged: new keys are made on first use
    auto keys = std::make_shared<BackupKeySet>();
    keys->keybag = std::move(*keybag);
    keys->keybagBytes = *keybagBytes;
    for (const auto& [name, value] : dictItems(classKeys)) {
        std::optional<std::string> bytes = dictData(classKeys, name.c_str());
        const unsigned long protectionClass = std::strtoul(name.c_str(), nullptr, 10);
        if (bytes && bytes->size() == 32 && protectionClass >= 1 && protectionClass <= kLastClass)
            keys->classKeys[uint32_t(protectionClass)] = std::move(*bytes);
    }
    if (keys->classKeys.size() != kLastClass)
        return;
    m_password = dictString(stored.get(), kPassword).value_or("");
    m_keys = std::move(keys);
}

std::shared_ptr<const BackupKeySet> DeviceBackupKeys::makeLocked(const DeviceSettings& settings)
{
    auto keys = std::make_shared<BackupKeySet>();
    for (uint32_t protectionClass = 1; protectionClass <= kLastClass; ++protectionClass)
        keys->classKeys[protectionClass] = backupcrypto::randomBytes(32);
    keys->keybag = backupcrypto::BackupKeybag::create(settings.backupPassword, keys->classKeys,
                                                      settings.keybagIterations,
                                                      settings.keybagDataProtectionIterations);
    keys->keybagBytes = keys->keybag.serialize();

    PlistPtr stored = newDict();
    dictSetData(stored.get(), kKeybag, keys->keybagBytes);
    PlistPtr classKeys = newDict();
    for (const auto& [protectionClass, key] : keys->classKeys)
        dictSetData(classKeys.get(), std::to_string(protectionClass).c_str(), key);
    dictSetNode(stored.get(), kClassKeys, std::move(classKeys));
    dictSetString(stored.get(), kPassword, settings.backupPassword);
    plistToFile(stored.get(), m_path, PlistFormat::Xml);
    m_password = settings.backupPassword;
    m_keys = keys;
    return keys;
}

std::shared_ptr<const BackupKeySet> DeviceBackupKeys::current(const DeviceSettings& settings)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    if (m_keys && m_password == settings.backupPassword &&
        m_keys->keybag.iterations == settings.keybagIterations &&
        m_keys->keybag.dataProtectionIterations == settings.keybagDataProtectionIterations)
        return m_keys;
    return makeLocked(settings);
}

std::shared_ptr<const BackupKeySet> DeviceBackupKeys::renew(const DeviceSettings& settings)
{
    std::lock_guard lock(m_mutex);
    m_loaded = true;
    return makeLocked(settings);
}

void DeviceBackupKeys::forget()
{
    std::lock_guard lock(m_mutex);
    m_loaded = true;
    m_keys.reset();
    m_password.clear();
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

} // namespace iphonesim
