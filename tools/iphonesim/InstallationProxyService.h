#pragma once

#include "Plist.h"

#include <cstddef>

namespace iphonesim {

class PlistChannel;
class SimDevice;
struct AppRecord;

// com.apple.mobile.installation_proxy: Browse (answered in pages, as a device does) and Lookup.
class InstallationProxyService
{
public:
    InstallationProxyService(SimDevice& device, PlistChannel& channel, size_t pageSize);
    void run();

    // Every attribute the device knows for an app.
    static PlistPtr appAttributes(const AppRecord& app);

private:
    void browse(plist_t options);
    void lookup(plist_t options);
    // The app's attributes, limited to ReturnAttributes when the client names some.
    PlistPtr selectAttributes(const AppRecord& app, plist_t options) const;
    bool typeMatches(const AppRecord& app, plist_t options) const;

    SimDevice& m_device;
    PlistChannel& m_channel;
    size_t m_pageSize;
};

} // namespace iphonesim
