#include "device/DeviceApps.h"

#include "device/DeviceLockdown.h"

namespace {

// The options dictionary instproxy_browse takes, freed with the library's call.
struct BrowseOptions
{
    plist_t options = instproxy_client_options_new();
    ~BrowseOptions() { instproxy_client_options_free(options); }
};

} // namespace

QList<PlistCFType> browseUserApps(const QString& udid, const QStringList& returnAttributes, bool* ok)
{
    if (ok)
        *ok = false;
    DeviceConnection connection(udid);
    if (!openLockdown(connection))
        return {};
    instproxy_client_t rawClient = nullptr;
    if (instproxy_client_start_service(connection.device.get(), &rawClient, kDeviceClientLabel) !=
        INSTPROXY_E_SUCCESS)
        return {};
    const InstproxyClient client(rawClient);
    BrowseOptions options;
    instproxy_client_options_add(options.options, "ApplicationType", "User", nullptr);
    if (!returnAttributes.isEmpty()) {
        plist_t attributes = plist_new_array();
        for (const QString& attribute : returnAttributes)
            plist_array_append_item(attributes, plist_new_string(attribute.toUtf8().constData()));
        plist_dict_set_item(options.options, "ReturnAttributes", attributes);
    }
    plist_t result = nullptr;
    if (instproxy_browse(client.get(), options.options, &result) != INSTPROXY_E_SUCCESS) {
        if (result)
            plist_free(result);
        return {};
    }
    const PlistCFType apps(result, true);
    if (ok)
        *ok = apps.isArray();
    QList<PlistCFType> list;
    for (const PlistCFType& app : apps.items()) {
        if (app.isDict())
            list.append(app);
    }
    return list;
}

QString findLineHome(const QString& udid)
{
    const QList<PlistCFType> apps =
        browseUserApps(udid, {QStringLiteral("CFBundleIdentifier"), QStringLiteral("EnvironmentVariables")});
    for (const PlistCFType& app : apps) {
        if (app.value(QStringLiteral("CFBundleIdentifier")).getString() == QLatin1String("jp.naver.line"))
            return app.value(QStringLiteral("EnvironmentVariables"))
                .value(QStringLiteral("HOME"))
                .getString();
    }
    return {};
}
