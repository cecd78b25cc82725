#include "AppCatalog.h"

#include "Plist.h"
#include "SimError.h"

namespace iphonesim {

namespace {

constexpr const char* kApplications = "Applications";

} // namespace

bool isUuid(const std::string& text)
{
    if (text.size() != 36)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-')
                return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::string AppRecord::containerPath() const
{
    return "/private/var/mobile/Containers/Data/Application/" + containerUuid;
}

std::string AppRecord::bundlePath() const
{
    return "/private/var/containers/Bundle/Application/" + bundleUuid + "/" + executable + ".app";
}

std::string AppRecord::groupContainerPath(const std::string& uuid)
{
    return "/private/var/mobile/Containers/Shared/AppGroup/" + uuid;
}

AppCatalog AppCatalog::load(const std::string& path)
{
    AppCatalog catalog;
    PlistPtr root = plistFromFile(path, 16u << 20);
    if (!root)
        return catalog;
    plist_t list = dictItem(root.get(), kApplications, PLIST_ARRAY);
    const uint32_t count = list ? plist_array_get_size(list) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(list, i);
        AppRecord app;
        app.bundleId = dictString(item, "CFBundleIdentifier").value_or("");
        app.containerUuid = dictString(item, "ContainerUUID").value_or("");
        // An entry without identifier or container cannot be browsed or backed up: skip it.
        if (app.bundleId.empty() || app.bundleId.find('/') != std::string::npos || !isUuid(app.containerUuid))
            continue;
        app.displayName = dictString(item, "CFBundleDisplayName").value_or(app.bundleId);
        app.version = dictString(item, "CFBundleVersion").value_or("1.0");
        app.shortVersion = dictString(item, "CFBundleShortVersionString").value_or(app.version);
        app.applicationType = dictString(item, "ApplicationType").value_or("User");
        app.executable = dictString(item, "CFBundleExecutable").value_or(app.displayName);
        app.bundleUuid = dictString(item, "BundleUUID").value_or(app.containerUuid);
        for (const auto& [group, uuid] : dictItems(dictItem(item, "GroupContainers", PLIST_DICT))) {
            const auto text = nodeString(uuid);
            if (text && isUuid(*text) && group.find('/') == std::string::npos)
                app.groupContainers[group] = *text;
        }
        catalog.m_apps.push_back(std::move(app));
    }
    return catalog;
}

void AppCatalog::save(const std::string& path) const
{
    PlistPtr list = newArray();
    for (const AppRecord& app : m_apps) {
        PlistPtr item = newDict();
        dictSetString(item.get(), "CFBundleIdentifier", app.bundleId);
        dictSetString(item.get(), "CFBundleDisplayName", app.displayName);
        dictSetString(item.get(), "CFBundleVersion", app.version);
        dictSetString(item.get(), "CFBundleShortVersionString", app.shortVersion);
        dictSetString(item.get(), "ApplicationType", app.applicationType);
        dictSetString(item.get(), "CFBundleExecutable", app.executable);
        dictSetString(item.get(), "ContainerUUID", app.containerUuid);
        dictSetString(item.get(), "BundleUUID", app.bundleUuid);
        PlistPtr groups = newDict();
        for (const auto& [group, uuid] : app.groupContainers)
            dictSetString(groups.get(), group.c_str(), uuid);
        dictSetNode(item.get(), "GroupContainers", std::move(groups));
        plist_array_append_item(list.get(), item.release());
    }
    PlistPtr root = newDict();
    dictSetNode(root.get(), kApplications, std::move(list));
    plistToFile(root.get(), path, PlistFormat::Xml);
}

const AppRecord* AppCatalog::find(const std::string& bundleId) const
{
    for (const AppRecord& app : m_apps) {
        if (app.bundleId == bundleId)
            return &app;
    }
    return nullptr;
}

const AppRecord* AppCatalog::ownerOfDomain(const std::string& domain, std::string* groupUuid) const
{
    static const std::string appPrefix = "AppDomain-";
    static const std::string groupPrefix = "AppDomainGroup-";
    if (domain.rfind(groupPrefix, 0) == 0) {
        const std::string group = domain.substr(groupPrefix.size());
        for (const AppRecord& app : m_apps) {
            const auto found = app.groupContainers.find(group);
            if (found != app.groupContainers.end()) {
                if (groupUuid)
                    *groupUuid = found->second;
                return &app;
            }
        }
        return nullptr;
    }
    if (domain.rfind(appPrefix, 0) == 0)
        return find(domain.substr(appPrefix.size()));
    return nullptr;
}

} // namespace iphonesim
