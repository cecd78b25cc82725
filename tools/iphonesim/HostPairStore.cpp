#include "HostPairStore.h"

#include "AtomicFile.h"
#include "DeviceKeys.h"
#include "Plist.h"
#include "SimError.h"

#include <filesystem>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemConfiguration = "SystemConfiguration";

} // namespace

HostPairStore::HostPairStore(std::string folder) : m_folder(std::move(folder))
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!fs::is_directory(m_folder))
        throw SimError("cannot create the pairing folder " + m_folder);
}

bool HostPairStore::isValidRecordId(const std::string& recordId)
{
    if (recordId.empty() || recordId.size() > 64 || recordId == kSystemConfiguration)
        return false;
    for (char c : recordId) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'))
            return false;
    }
    return true;
}

std::string HostPairStore::pathOf(const std::string& recordId) const
{
    return m_folder + "/" + recordId + ".plist";
}

std::string HostPairStore::systemBuid()
{
    std::lock_guard lock(m_mutex);
    const std::string path = m_folder + "/" + kSystemConfiguration + ".plist";
    PlistPtr config = plistFromFile(path, 1 << 20);
    if (auto buid = dictString(config.get(), "SystemBUID"))
        return *buid;
    const std::string buid = randomUuid();
    PlistPtr fresh = newDict();
    dictSetString(fresh.get(), "SystemBUID", buid);
    plistToFile(fresh.get(), path, PlistFormat::Xml);
    return buid;
}

std::optional<std::string> HostPairStore::read(const std::string& recordId) const
{
    if (!isValidRecordId(recordId))
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    try {
        return readSmallFile(pathOf(recordId), 1 << 20);
    } catch (const SimError&) {
        return std::nullopt;
    }
}

bool HostPairStore::save(const std::string& recordId, const std::string& bytes)
{
    if (!isValidRecordId(recordId))
        return false;
    std::lock_guard lock(m_mutex);
    writeFileAtomically(pathOf(recordId), bytes);
    return true;
}

bool HostPairStore::remove(const std::string& recordId)
{
    if (!isValidRecordId(recordId))
        return false;
    std::lock_guard lock(m_mutex);
    std::error_code error;
    return fs::remove(pathOf(recordId), error);
}

std::vector<std::string> HostPairStore::recordIds() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> ids;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_folder, error)) {
        const fs::path path = entry.path();
        if (path.extension() == ".plist" && isValidRecordId(path.stem().string()))
            ids.push_back(path.stem().string());
    }
    return ids;
}

} // namespace iphonesim
