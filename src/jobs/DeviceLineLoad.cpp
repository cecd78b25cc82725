#include "jobs/DeviceLineLoad.h"

#include "backup/BackupManifest.h"
#include "device/DeviceApps.h"
#include "device/DeviceBackupSettings.h"
#include "device/DeviceLockdown.h"
#include "device/DeviceTrustCheck.h"
#include "jobs/DeviceLoadDialogs.h"
#include "jobs/IOSLoadLineFromiTunesThread.h"
#include "jobs/IOSMobileBackupThread.h"
#include "jobs/IOSiTunesBKSetPasswordThread.h"

#include <exception>

namespace {

DeviceLineLoad::Result endOf(const JobThread& job)
{
    return job.cancelled() ? DeviceLineLoad::Result::Cancelled : DeviceLineLoad::Result::Failed;
}

} // namespace

DeviceLineLoad::DeviceLineLoad(DeviceLoadDialogs& dialogs) : m_dialogs(dialogs)
{
}

PDeviceInfo DeviceLineLoad::connect(const QString& udid)
{
    auto device = std::make_shared<DeviceInfo>();
    for (;;) {
        QString errorText;
        if (checkDeviceConnection(udid, errorText))
            break;
        if (!m_dialogs.askRetryTrust(udid, errorText)) {
            m_dialogs.showError(errorText);
            return nullptr;
        }
    }
    device->udid = udid;
    device->setIdentity(readLockdownValue(udid, QString(), QString()));
    device->lineHome = findLineHome(udid);
    return device;
}

DeviceLineLoad::Result DeviceLineLoad::loadLine(const PDeviceInfo& device)
{
    m_dialogs.showNotes();
    if (const auto refusal = checkDeviceBackupSettings(*device, true, false)) {
        m_dialogs.showRefusal(*refusal);
        return Result::Failed;
    }

    IOSMobileBackupThread backupJob(true, device, false, QStringLiteral("line"), m_dialogs.progressForm());
    backupJob.wantedApps << QStringLiteral("jp.naver.line");
    QObject::connect(&backupJob, &IOSMobileBackupThread::passcodeRequested,
                     [this](bool shown) { m_dialogs.passcodeNotice(shown); });
    m_dialogs.runJob(backupJob);
    if (!backupJob.succeeded())
        return endOf(backupJob);

    BackupManifest backup(backupJob.backupRoot().filePath(device->udid));
    try {
        backup.loadInfo();
    } catch (const std::exception& failure) {
        m_dialogs.showError(QString::fromUtf8(failure.what()));
        return Result::Failed;
    }
    if (backup.isEncrypted()) {
        bool unlocked = false;
        if (!device->backupPassword.isEmpty()) {
            IOSiTunesBKSetPasswordThread unlock(&backup, device->backupPassword, m_dialogs.progressForm());
            m_dialogs.runJob(unlock);
            if (unlock.cancelled())
                return Result::Cancelled;
            unlocked = unlock.succeeded() && unlock.unlocked();
        }
        if (!unlocked) {
            const std::optional<QString> password = m_dialogs.askBackupPassword(backup);
            if (!password)
                return Result::Failed;
            device->backupPassword = *password;
        }
    }

    IOSLoadLineFromiTunesThread loadJob(&backup, m_dialogs.progressForm(), deviceCacheDir(*device).path());
    // A device without LINE is told apart from a broken backup below.
    loadJob.setMissingIsNotFound(true);
    m_dialogs.runJob(loadJob);
    if (!loadJob.succeeded())
        return endOf(loadJob);
    if (!loadJob.found()) {
        m_dialogs.showError(
            tr("Can't access Line data on your iPhone. Please make sure you have installed and "
               "logined Line Messenger on your iPhone."));
        return Result::Failed;
    }
    return Result::Loaded;
}
