#include "device/DevicePartialBackup.h"

#include "app/JobControl.h"
#include "plist/PlistCFType.h"

#include <QFileInfo>

DevicePartialBackup::DevicePartialBackup(PDeviceInfo device, const QDir& root, bool keepOtherFiles,
                                         std::shared_ptr<FakeBackup2ToolHook> hook)
    : m_device(std::move(device)), m_root(root.absolutePath()),
      m_hook(hook ? std::move(hook) : std::make_shared<FakeBackup2ToolHook>(keepOtherFiles)),
      m_engine(m_device->udid, m_root, m_hook)
{
    m_hook->keepOtherFiles = keepOtherFiles;
}

bool DevicePartialBackup::isReusable(const QDir& folder, const QString& productVersion)
{
    if (!QFileInfo::exists(folder.filePath(QStringLiteral("Status.plist"))) ||
        !QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.plist"))) ||
        (!QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.mbdb"))) &&
         !QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.db")))))
        return false;
    const PlistCFType status = PlistCFType::fromFile(folder.filePath(QStringLiteral("Status.plist")));
    if (status.value(QStringLiteral("SnapshotState")).getString() != QLatin1String("finished"))
        return false;
    const PlistCFType manifest = PlistCFType::fromFile(folder.filePath(QStringLiteral("Manifest.plist")));
    return manifest.value(QStringLiteral("Lockdown")).value(QStringLiteral("ProductVersion")).getString() ==
           productVersion;
}

void DevicePartialBackup::run(JobControl& control)
{
    control.setStatus(tr("Loading data from Device..."), 0);
    m_hook->wantedApps = QSet<QString>(wantedApps.cbegin(), wantedApps.cend());
    QDir folder = backupFolder();
    try {
        if (folder.exists() && !isReusable(folder, m_device->productVersion))
            folder.removeRecursively();
        m_engine.run(Backup2Options(Backup2Options::Backup), control);
        m_hook->names.closeNames();
    } catch (...) {
        m_hook->names.closeNames();
        folder.removeRecursively();
        throw;
    }
}
