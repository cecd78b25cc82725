#include "BackupMetadata.h"

#include "BackupCodec.h"
#include "Plist.h"
#include "SimDevice.h"

namespace iphonesim {

std::string makeStatusPlist(const std::string& snapshotState, bool fullBackup, const std::string& uuid,
                            int64_t unixTime)
{
    PlistPtr status = newDict();
    dictSetString(status.get(), "BackupState", "new");
    dictSetDate(status.get(), "Date", unixTime);
    dictSetBool(status.get(), "IsFullBackup", fullBackup);
    dictSetString(status.get(), "SnapshotState", snapshotState);
    dictSetString(status.get(), "UUID", uuid);
    dictSetString(status.get(), "Version", "3.3");
    return plistToBytes(status.get(), PlistFormat::Binary);
}

std::string makeManifestPlist(const SimDevice& device, BackupCodec& codec, int64_t unixTime)
{
    PlistPtr values = device.lockdownValues();
    PlistPtr lockdown = newDict();
    for (const char* key :
         {"BuildVersion", "DeviceName", "ProductType", "ProductVersion", "SerialNumber", "UniqueDeviceID"}) {
        dictSetString(lockdown.get(), key, dictString(values.get(), key).value_or(""));
    }
    for (const char* domain :
         {"com.apple.Accessibility", "com.apple.MobileDeviceCrashCopy", "com.apple.TerminalFlashr",
          "com.apple.mobile.data_sync", "com.apple.mobile.iTunes.accessories"})
        dictSetNode(lockdown.get(), domain, newDict());

    PlistPtr applications = newDict();
    for (const AppRecord& app : device.apps().apps()) {
        if (app.applicationType != "User")
            continue;
        PlistPtr entry = newDict();
        dictSetString(entry.get(), "CFBundleIdentifier", app.bundleId);
        dictSetString(entry.get(), "CFBundleVersion", app.version);
        dictSetString(entry.get(), "ContainerContentClass", "Data/Application");
        dictSetString(entry.get(), "Path", app.bundlePath());
        dictSetNode(applications.get(), app.bundleId.c_str(), std::move(entry));
    }

    PlistPtr manifest = newDict();
    dictSetNode(manifest.get(), "Applications", std::move(applications));
    dictSetDate(manifest.get(), "Date", unixTime);
    dictSetNode(manifest.get(), "Lockdown", std::move(lockdown));
    dictSetString(manifest.get(), "SystemDomainsVersion", "24.0");
    dictSetString(manifest.get(), "Version", "10.0");
    dictSetBool(manifest.get(), "WasPasscodeSet", device.settings().passcodeSet);
    codec.addManifestProperties(manifest.get());
    return plistToBytes(manifest.get(), PlistFormat::Binary);
}

} // namespace iphonesim
