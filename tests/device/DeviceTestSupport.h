#pragma once

// What the device tests share: a simulated phone of a current system with LINE's files, the partial backup
// run against it, and the device's files as the backup should name them.
#include "../iphonesim/SimTestSupport.h"
#include "DeviceGenerator.h"
#include "ManifestEntry.h"
#include "app/JobControl.h"
#include "device/DeviceInfo.h"
#include "device/DeviceLockdown.h"

#include <QDir>
#include <QSet>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>

// A phone on a current system (DeviceLink 400, the newer backup and restore rules).
inline iphonesim::GeneratorOptions currentPhoneOptions(const std::string& version = "18.6")
{
    iphonesim::GeneratorOptions options = smallDeviceOptions();
    options.productVersion = version;
    options.settings.keybagIterations = 10;
    options.settings.keybagDataProtectionIterations = 10;
    return options;
}

// The device record the jobs are given, read from the device the way the program reads it.
inline PDeviceInfo deviceInfoFor(const std::string& udid)
{
    auto device = std::make_shared<DeviceInfo>();
    device->udid = QString::fromStdString(udid);
    device->setIdentity(readLockdownValue(device->udid, QString(), QString()));
    return device;
}

// File IDs of the device's files, all of them or those of some domains.
inline QSet<QString> deviceFileIds(const std::string& deviceFolder, const QSet<QString>& domains = {})
{
    namespace fs = std::filesystem;
    QSet<QString> ids;
    const fs::path files = fs::path(deviceFolder) / "files";
    for (const auto& entry : fs::recursive_directory_iterator(files)) {
        if (!entry.is_regular_file())
            continue;
        const std::string relative = entry.path().lexically_relative(files).generic_string();
        const std::string domain = relative.substr(0, relative.find('/'));
        if (!domains.isEmpty() && !domains.contains(QString::fromStdString(domain)))
            continue;
        ids.insert(
            QString::fromStdString(iphonesim::backupFileId(domain, relative.substr(relative.find('/') + 1))));
    }
    return ids;
}

// A control that cancels at its n-th question (never for n < 0) and counts the questions.
class CancelAt
{
public:
    explicit CancelAt(int n) : m_n(n) {}
    JobControl control()
    {
        JobControl::Listener listener;
        listener.cancelled = [this] { return m_n >= 0 && ++m_asked >= m_n; };
        return JobControl(listener);
    }
    int asked() const { return m_asked; }

private:
    int m_n;
    std::atomic<int> m_asked = 0;
};
