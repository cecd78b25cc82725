#include "DeviceSettings.h"

#include "Plist.h"

#include <algorithm>
#include <cstdlib>

namespace iphonesim {

namespace {

constexpr const char* kTrust = "TrustMode";
constexpr const char* kWillEncrypt = "WillEncrypt";
constexpr const char* kBackupPassword = "BackupPassword";
constexpr const char* kFindMy = "FindMyiPhone";
constexpr const char* kCloudBackup = "CloudBackupEnabled";
constexpr const char* kPasscode = "PasscodeSet";
constexpr const char* kTotal = "TotalCapacity";
constexpr const char* kFree = "FreeSpace";
constexpr const char* kPendingReboot = "RestorePendingReboot";
constexpr const char* kKeybagIterations = "KeybagIterations";
constexpr const char* kKeybagDpIterations = "KeybagDataProtectionIterations";
constexpr const char* kPasscodeTimeout = "PasscodeTimeout";
constexpr uint64_t kMaxPasscodeTimeout = 24 * 3600;

std::optional<bool> parseBool(std::string value)
{
    std::transform(value.begin(), value.end(), value.begin(), ::tolower);
    if (value == "1" || value == "true" || value == "yes" || value == "on")
        return true;
    if (value == "0" || value == "false" || value == "no" || value == "off")
        return false;
    return std::nullopt;
}

std::optional<uint64_t> parseSize(const std::string& value)
{
    if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos || value.size() > 19)
        return std::nullopt;
    return std::strtoull(value.c_str(), nullptr, 10);
}

// An iteration count from settings.plist, or the fallback when it is missing or out of range.
uint32_t iterationCount(std::optional<uint64_t> value, uint32_t fallback)
{
    return value && *value > 0 && *value <= DeviceSettings::kMaxKeybagIterations ? uint32_t(*value)
                                                                                 : fallback;
}

} // namespace

const char* trustModeName(TrustMode mode)
{
    switch (mode) {
    case TrustMode::Automatic:
        return "automatic";
    case TrustMode::Dialog:
        return "dialog";
    case TrustMode::Denied:
        return "denied";
    case TrustMode::Locked:
        return "locked";
    }
    return "automatic";
}

std::optional<TrustMode> trustModeFromName(const std::string& name)
{
    for (TrustMode mode : {TrustMode::Automatic, TrustMode::Dialog, TrustMode::Denied, TrustMode::Locked}) {
        if (name == trustModeName(mode))
            return mode;
    }
    return std::nullopt;
}

DeviceSettings DeviceSettings::load(const std::string& path)
{
    DeviceSettings settings;
    PlistPtr root = plistFromFile(path, 1 << 20);
    plist_t dict = root.get();
    if (!dict)
        return settings;
    if (auto trust = dictString(dict, kTrust))
        settings.trust = trustModeFromName(*trust).value_or(TrustMode::Automatic);
    settings.willEncrypt = dictBool(dict, kWillEncrypt).value_or(false);
    settings.backupPassword = dictString(dict, kBackupPassword).value_or("");
    settings.findMyIPhone = dictBool(dict, kFindMy).value_or(false);
    settings.cloudBackupEnabled = dictBool(dict, kCloudBackup).value_or(false);
    settings.passcodeSet = dictBool(dict, kPasscode).value_or(false);
    settings.totalCapacity = dictUInt(dict, kTotal).value_or(settings.totalCapacity);
    settings.freeSpace = dictUInt(dict, kFree).value_or(settings.freeSpace);
    settings.restorePendingReboot = dictBool(dict, kPendingReboot).value_or(false);
    settings.keybagIterations = iterationCount(dictUInt(dict, kKeybagIterations), settings.keybagIterations);
    settings.keybagDataProtectionIterations =
        iterationCount(dictUInt(dict, kKeybagDpIterations), settings.keybagDataProtectionIterations);
    const auto timeout = dictUInt(dict, kPasscodeTimeout);
    if (timeout && *timeout <= kMaxPasscodeTimeout)
        settings.passcodeTimeoutSeconds = uint32_t(*timeout);
    return settings;
}

void DeviceSettings::save(const std::string& path) const
{
    PlistPtr dict = newDict();
    dictSetString(dict.get(), kTrust, trustModeName(trust));
    dictSetBool(dict.get(), kWillEncrypt, willEncrypt);
    dictSetString(dict.get(), kBackupPassword, backupPassword);
    dictSetBool(dict.get(), kFindMy, findMyIPhone);
    dictSetBool(dict.get(), kCloudBackup, cloudBackupEnabled);
    dictSetBool(dict.get(), kPasscode, passcodeSet);
    dictSetUInt(dict.get(), kTotal, totalCapacity);
    dictSetUInt(dict.get(), kFree, freeSpace);
    dictSetBool(dict.get(), kPendingReboot, restorePendingReboot);
    dictSetUInt(dict.get(), kKeybagIterations, keybagIterations);
    dictSetUInt(dict.get(), kKeybagDpIterations, keybagDataProtectionIterations);
    dictSetUInt(dict.get(), kPasscodeTimeout, passcodeTimeoutSeconds);
    plistToFile(dict.get(), path, PlistFormat::Xml);
}

bool DeviceSettings::set(const std::string& name, const std::string& value)
{
    if (name == kTrust) {
        const auto mode = trustModeFromName(value);
        if (!mode)
            return false;
        trust = *mode;
        return true;
    }
    if (name == kBackupPassword) {
        backupPassword = value;
        return true;
    }
    if (name == kKeybagIterations || name == kKeybagDpIterations) {
        const auto count = parseSize(value);
        if (!count || *count == 0 || *count > kMaxKeybagIterations)
            return false;
        (name == kKeybagIterations ? keybagIterations : keybagDataProtectionIterations) = uint32_t(*count);
        return true;
    }
    if (name == kPasscodeTimeout) {
        const auto seconds = parseSize(value);
        if (!seconds || *seconds > kMaxPasscodeTimeout)
            return false;
        passcodeTimeoutSeconds = uint32_t(*seconds);
        return true;
    }
    if (name == kTotal || name == kFree) {
        const auto size = parseSize(value);
        if (!size)
            return false;
        (name == kTotal ? totalCapacity : freeSpace) = *size;
        return true;
    }
    const auto flag = parseBool(value);
    if (!flag)
        return false;
    if (name == kWillEncrypt)
        willEncrypt = *flag;
    else if (name == kFindMy)
        findMyIPhone = *flag;
    else if (name == kCloudBackup)
        cloudBackupEnabled = *flag;
    else if (name == kPasscode)
        passcodeSet = *flag;
    else if (name == kPendingReboot)
        restorePendingReboot = *flag;
    else
        return false;
    return true;
}

} // namespace iphonesim
