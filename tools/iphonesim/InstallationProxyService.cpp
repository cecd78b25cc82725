#include "InstallationProxyService.h"

#include "AppCatalog.h"
#include "PlistChannel.h"
#include "SimDevice.h"
#include "SimLog.h"

#include <algorithm>

namespace iphonesim {

InstallationProxyService::InstallationProxyService(SimDevice& device, PlistChannel& channel, size_t pageSize)
    : m_device(device), m_channel(channel), m_pageSize(std::max<size_t>(pageSize, 1))
{
}

void InstallationProxyService::run()
{
    for (;;) {
        PlistPtr command = m_channel.receive();
        const std::string name = dictString(command.get(), "Command").value_or("");
        plist_t options = dictItem(command.get(), "ClientOptions", PLIST_DICT);
        logDebug(m_device.udid() + " installation_proxy " + name);
        if (name == "Browse") {
            browse(options);
        } else if (name == "Lookup") {
            lookup(options);
        } else {
            PlistPtr reply = newDict();
            dictSetString(reply.get(), "Error", "UnknownCommand");
            dictSetString(reply.get(), "ErrorDescription", "Unknown command " + name);
            dictSetString(reply.get(), "Status", "Complete");
            m_channel.send(reply.get(), PlistFormat::Xml);
        }
    }
}

PlistPtr InstallationProxyService::appAttributes(const AppRecord& app)
{
    PlistPtr attributes = newDict();
    plist_t dict = attributes.get();
    dictSetString(dict, "CFBundleIdentifier", app.bundleId);
    dictSetString(dict, "CFBundleDisplayName", app.displayName);
    dictSetString(dict, "CFBundleName", app.displayName);
    dictSetString(dict, "CFBundleVersion", app.version);
    dictSetString(dict, "CFBundleShortVersionString", app.shortVersion);
    dictSetString(dict, "CFBundleExecutable", app.executable);
    dictSetString(dict, "ApplicationType", app.applicationType);
    dictSetString(dict, "Path", app.bundlePath());
    dictSetString(dict, "Container", app.containerPath());
    PlistPtr environment = newDict();
    dictSetString(environment.get(), "HOME", app.containerPath());
    dictSetString(environment.get(), "CFFIXED_USER_HOME", app.containerPath());
    dictSetString(environment.get(), "TMPDIR", app.containerPath() + "/tmp");
    dictSetNode(dict, "EnvironmentVariables", std::move(environment));
    PlistPtr groups = newDict();
    for (const auto& [group, uuid] : app.groupContainers)
        dictSetString(groups.get(), group.c_str(), AppRecord::groupContainerPath(uuid));
    dictSetNode(dict, "GroupContainers", std::move(groups));
    dictSetUInt(dict, "StaticDiskUsage", 50u << 20);
    dictSetUInt(dict, "DynamicDiskUsage", 10u << 20);
    if (app.applicationType == "User") {
        // Store apps carry their purchase data; the backup client copies it into Info.plist.
        PlistPtr metadata = newDict();
        dictSetString(metadata.get(), "itemName", app.displayName);
        dictSetString(metadata.get(), "softwareVersionBundleId", app.bundleId);
        dictSetString(metadata.get(), "bundleShortVersionString", app.shortVersion);
        dictSetData(dict, "iTunesMetadata", plistToBytes(metadata.get(), PlistFormat::Binary));
        dictSetData(dict, "ApplicationSINF", "sinf:" + app.bundleId);
    }
    return attributes;
}

bool InstallationProxyService::typeMatches(const AppRecord& app, plist_t options) const
{
    const std::string type = dictString(options, "ApplicationType").value_or("Any");
    return type == "Any" || type == app.applicationType;
}

PlistPtr InstallationProxyService::selectAttributes(const AppRecord& app, plist_t options) const
{
    PlistPtr all = appAttributes(app);
    plist_t wanted = dictItem(options, "ReturnAttributes", PLIST_ARRAY);
    if (!wanted)
        return all;
    PlistPtr selected = newDict();
    for (uint32_t i = 0; i < plist_array_get_size(wanted); ++i) {
        const auto name = nodeString(plist_array_get_item(wanted, i));
        if (!name)
            continue;
        if (plist_t value = plist_dict_get_item(all.get(), name->c_str()))
            plist_dict_set_item(selected.get(), name->c_str(), plist_copy(value));
    }
    return selected;
}

void InstallationProxyService::browse(plist_t options)
{
    std::vector<const AppRecord*> apps;
    for (const AppRecord& app : m_device.apps().apps()) {
        if (typeMatches(app, options))
            apps.push_back(&app);
    }
    for (size_t index = 0; index < apps.size(); index += m_pageSize) {
        const size_t count = std::min(m_pageSize, apps.size() - index);
        PlistPtr list = newArray();
        for (size_t i = 0; i < count; ++i)
            plist_array_append_item(list.get(), selectAttributes(*apps[index + i], options).release());
        PlistPtr page = newDict();
        dictSetUInt(page.get(), "CurrentAmount", count);
        dictSetUInt(page.get(), "CurrentIndex", index);
        dictSetNode(page.get(), "CurrentList", std::move(list));
        dictSetString(page.get(), "Status", "BrowsingApplications");
        dictSetUInt(page.get(), "Total", apps.size());
        m_channel.send(page.get(), PlistFormat::Xml);
    }
    PlistPtr done = newDict();
    dictSetString(done.get(), "Status", "Complete");
    m_channel.send(done.get(), PlistFormat::Xml);
}

void InstallationProxyService::lookup(plist_t options)
{
    plist_t ids = dictItem(options, "BundleIDs", PLIST_ARRAY);
    PlistPtr result = newDict();
    for (const AppRecord& app : m_device.apps().apps()) {
        bool wanted = !ids;
        for (uint32_t i = 0; ids && i < plist_array_get_size(ids); ++i)
            wanted = wanted || nodeString(plist_array_get_item(ids, i)) == app.bundleId;
        if (wanted && typeMatches(app, options))
            dictSetNode(result.get(), app.bundleId.c_str(), selectAttributes(app, options));
    }
    PlistPtr reply = newDict();
    dictSetNode(reply.get(), "LookupResult", std::move(result));
    dictSetString(reply.get(), "Status", "Complete");
    m_channel.send(reply.get(), PlistFormat::Xml);
}

} // namespace iphonesim
