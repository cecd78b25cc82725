#include "jobs/BackupLineLoad.h"

#include "jobs/IOSLoadLineFromiTunesThread.h"
#include "jobs/LineTransferDialogs.h"

#include <QFileInfo>
#include <exception>

BackupLineLoad::BackupLineLoad(LineTransferDialogs& dialogs) : m_dialogs(dialogs)
{
}

PDeviceInfo BackupLineLoad::virtualDevice(const BackupManifest& backup)
{
    auto device = std::make_shared<DeviceInfo>();
    device->udid = QStringLiteral("virtual_") + backup.backupId();
    device->name = backup.deviceName();
    device->productVersion = backup.productVersion();
    device->productType = backup.productType();
    return device;
}

BackupLineLoad::Result BackupLineLoad::load(const QString& backupFolder, Role role,
                                            const QString& cacheFolder)
{
    m_appFolder.clear();
    if (!QFileInfo(backupFolder).isDir()) {
        m_dialogs.showError(tr("%1 is not a backup folder.").arg(backupFolder));
        return Result::Failed;
    }
    m_backup = std::make_shared<BackupManifest>(backupFolder);
    try {
        m_backup->loadInfo();
    } catch (const std::exception& failure) {
        m_dialogs.showError(QString::fromUtf8(failure.what()));
        return Result::Failed;
    }
    if (m_backup->isEncrypted()) {
        const std::optional<QString> password = role == Role::Source
                                                    ? m_dialogs.askBackupPassword(*m_backup)
                                                    : m_dialogs.askTargetBackupPassword(*m_backup);
        // The dialogs said why (or the user gave up).
        if (!password)
            return Result::Failed;
    }
    const QString cache =
        cacheFolder.isEmpty() ? deviceCacheDir(*virtualDevice(*m_backup)).path() : cacheFolder;
    IOSLoadLineFromiTunesThread job(m_backup.get(), m_dialogs.progressForm(), cache);
    job.setMissingIsNotFound(true);
    m_dialogs.runJob(job);
    if (!job.succeeded())
        return job.cancelled() ? Result::Cancelled : Result::Failed;
    if (!job.found()) {
        m_dialogs.showError(tr("Found no Line data in your iTunes Backup. Please check if you have installed "
                               "and logined Line on your iPhone."));
        return Result::Failed;
    }
    m_appFolder = job.appFolder();
    return Result::Loaded;
}
