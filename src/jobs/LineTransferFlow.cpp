#include "jobs/LineTransferFlow.h"

#include "device/DeviceApps.h"
#include "device/DeviceBackupSettings.h"
#include "device/DeviceLockdown.h"
#include "device/HelpLinks.h"
#include "device/RemoteSystemMode.h"
#include "jobs/BackupLineLoad.h"
#include "jobs/BackupLineMessagesThread.h"
#include "jobs/DeviceLineLoad.h"
#include "jobs/IOSLoadLineFromiTunesThread.h"
#include "jobs/IOSMergeWAFiles2iTunesBKThread.h"
#include "jobs/IOSMobileBackupThread.h"
#include "jobs/IOSMobileRestoreThread.h"
#include "jobs/IOSRestoreLineMsgThread.h"
#include "jobs/IOSiTunesBKSetPasswordThread.h"
#include "jobs/LineDeviceMerge.h"
#include "jobs/LineTransferDialogs.h"
#include "jobs/LinkedBackupCopy.h"
#include "jobs/LoadLineDbThread.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineMsgsDataSource.h"
#include "platform/AppDataDir.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <exception>

namespace {

LineTransferFlow::Result endOf(const JobThread& job)
{
    return job.cancelled() ? LineTransferFlow::Result::Cancelled : LineTransferFlow::Result::Failed;
}

LineTransferFlow::Result endOf(BackupLineLoad::Result result)
{
    return result == BackupLineLoad::Result::Cancelled ? LineTransferFlow::Result::Cancelled
                                                       : LineTransferFlow::Result::Failed;
}

bool sameFolder(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

// A local database name is one folder below the local database folder.
bool isFolderName(const QString& name)
{
    return !name.trimmed().isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

const QString BackupFolder = QStringLiteral("line");
const QString FullBackupFolder = QStringLiteral("line-full");
const QString RestoreFolder = QStringLiteral("line-restore");
// What a backup or a restore over USB moves per second, for the time a full transfer is said to take.
constexpr double BytesPerSecond = 25.0 * 1024 * 1024;

QString gigabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024 * 1024), 'f', 1);
}

// Removes the restore copy however the transfer ends.
class RemoveOnExit
{
public:
    explicit RemoveOnExit(QString folder) : m_folder(std::move(folder)) {}
    ~RemoveOnExit() { QDir(m_folder).removeRecursively(); }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

private:
    QString m_folder;
};

} // namespace

LineTransferFlow::LineTransferFlow(LineTransferDialogs& dialogs) : m_dialogs(dialogs)
{
}

LineTransferFlow::Result LineTransferFlow::importFromBackup(const QString& backupFolder, const QString& name)
{
    m_transferred = 0;
    m_localDbFolder.clear();
    if (!name.isEmpty() && !isFolderName(name)) {
        m_dialogs.showError(tr("%1 can't be the name of a local database.").arg(name));
        return Result::Failed;
    }
    BackupLineLoad load(m_dialogs);
    const BackupLineLoad::Result loaded = load.load(backupFolder, BackupLineLoad::Role::Source);
    if (loaded != BackupLineLoad::Result::Loaded)
        return endOf(loaded);
    QString target = name;
    if (target.isEmpty())
        target = load.backup()->deviceName() + QStringLiteral("_Backup");
    if (!isFolderName(target))
        target = QStringLiteral("iPhone_Backup");

    std::shared_ptr<_LineData> data;
    try {
        const std::shared_ptr<AbsLineDb> db = IOSLineStoreCache::openCopy(load.appFolder());
        data = LoadLineDbThread::load(db, m_dialogs);
    } catch (const std::exception& failure) {
        m_dialogs.showError(QString::fromUtf8(failure.what()));
        return Result::Failed;
    }
    if (!data)
        return Result::Cancelled;
    const QString folder = localDbDir().filePath(target);
    BackupLineMessagesThread job(std::make_shared<LineMsgsDataSource>(data, nullptr, true), folder,
                                 m_dialogs.progressForm());
    m_dialogs.runJob(job);
    if (!job.succeeded())
        return endOf(job);
    m_transferred = job.insertedCount();
    m_localDbFolder = folder;
    return Result::Done;
}

LineTransferFlow::Result LineTransferFlow::exportToBackup(const LineTransferSource& source,
                                                          const QString& backupFolder)
{
    m_transferred = 0;
    if (sameFolder(source.backupFolder, backupFolder)) {
        m_dialogs.showError(
            tr("The messages come from this backup: choose another one to transfer them to."));
        return Result::Failed;
    }
    // LINE's data of the backup, decrypted: below the program's data folder, and gone afterwards.
    QTemporaryDir work(appDataDir().filePath(QStringLiteral("ios_cache/transfer-XXXXXX")));
    if (!work.isValid()) {
        m_dialogs.showError(tr("Can't create a temporary folder: %1").arg(work.errorString()));
        return Result::Failed;
    }
    BackupLineLoad load(m_dialogs);
    const BackupLineLoad::Result loaded = load.load(backupFolder, BackupLineLoad::Role::Target, work.path());
    if (loaded != BackupLineLoad::Result::Loaded)
        return endOf(loaded);

    IOSRestoreLineMsgThread merge(BackupLineLoad::virtualDevice(*load.backup()), load.appFolder(),
                                  source.messages, m_dialogs.progressForm());
    m_dialogs.runJob(merge);
    if (!merge.succeeded())
        return endOf(merge);
    IOSMergeWAFiles2iTunesBKThread put(load.backup().get(), merge.items(), m_dialogs.progressForm());
    m_dialogs.runJob(put);
    if (!put.succeeded())
        return endOf(put);
    m_transferred = merge.handledCount();
    m_dialogs.showTips(tr("Successfully transferred %1 messages to iPhone.").arg(m_transferred));
    return Result::Done;
}

LineTransferFlow::Result LineTransferFlow::transferToDevice(const LineTransferSource& source,
                                                            const QString& udid)
{
    m_transferred = 0;
    m_restoreSkipped = false;
    if (!source.udid.isEmpty() && source.udid == udid) {
        m_dialogs.showError(
            tr("The messages come from this iPhone: choose another one to transfer them to."));
        return Result::Failed;
    }
    DeviceLineLoad load(m_dialogs);
    const PDeviceInfo device = load.connect(udid);
    if (!device)
        return Result::Failed;
    if (device->lineHome.isEmpty()) {
        m_dialogs.showError(tr("Can't access Line data on your iPhone. Please make sure you have installed "
                               "and logined Line Messenger on your iPhone."));
        return Result::Failed;
    }
    m_dialogs.showTips(
        JobMessage(tr("Notes:\n\n1) \"Find My iPhone\" must be disabled on iPhone.\n\n2) To "
                      "transfer Line Messages to iPhone successfully, please close Line on your "
                      "iPhone first."),
                   HelpLinks::findMyIPhone(), tr("detail")));
    if (const auto refusal = checkDeviceBackupSettings(*device, true, false)) {
        m_dialogs.showRefusal(*refusal);
        return Result::Failed;
    }
    Mode mode = versionAtLeast(*device, 27) ? Mode::Full : Mode::Partial;
    if (mode == Mode::Full && !confirmFull(*device))
        return Result::Cancelled;
    bool restoreFailed = false;
    Result result = transferInMode(source, device, mode, restoreFailed);
    if (result == Result::Failed && restoreFailed && mode == Mode::Partial) {
        if (!m_dialogs.confirm(tr("The iPhone did not take the transfer of LINE's files alone. Transfer them "
                                  "with a backup and restore of the whole iPhone instead?")) ||
            !confirmFull(*device))
            return Result::Failed;
        result = transferInMode(source, device, Mode::Full, restoreFailed);
    }
    if (result != Result::Done)
        return result;
    if (m_restoreSkipped) {
        m_dialogs.showTips(tr("All %1 messages are already on the iPhone: nothing needed to change, so the "
                              "iPhone was not restored.")
                               .arg(m_transferred));
        return Result::Done;
    }
    m_dialogs.showTips(
        tr("Successfully transferred %1 messages to iPhone. Now please disconnect your iPhone from computer.")
            .arg(m_transferred) +
        QStringLiteral("\n\n") +
        tr("Note: If you get the following prompts on iPhone when iPhone rebooted, please choose \"Don't "
           "Transfer App & Data\" option."));
    return Result::Done;
}

bool LineTransferFlow::confirmFull(const DeviceInfo& device)
{
    const PlistCFType usage =
        readLockdownValue(device.udid, QStringLiteral("com.apple.disk_usage"), QString());
    const qint64 capacity = usage.value(QStringLiteral("TotalDataCapacity")).getInt64();
    const qint64 available = usage.value(QStringLiteral("TotalDataAvailable")).getInt64();
    const qint64 size = qMax<qint64>(0, capacity - available);
    const QStorageInfo disk(IOSMobileBackupThread::partialBackupRoot(FullBackupFolder).path());
    const qint64 minutes = qMax<qint64>(1, qint64(2.0 * double(size) / BytesPerSecond / 60.0 + 0.5));
    return m_dialogs.confirm(
        tr("This iPhone takes LINE's messages only with a backup and restore of the whole iPhone. The iPhone "
           "holds about %1 GB: the computer needs that much free disk space twice (it has %2 GB free), and "
           "the backup and restore take about %3 minutes. The backup stays on the computer, so the iPhone "
           "can be put back as it was. Go on?")
            .arg(gigabytes(size), gigabytes(disk.bytesAvailable()))
            .arg(minutes));
}

LineTransferFlow::Result LineTransferFlow::transferInMode(const LineTransferSource& source,
                                                          const PDeviceInfo& device, Mode mode,
                                                          bool& restoreFailed)
{
    restoreFailed = false;
    m_restoreSkipped = false;
    const bool full = mode == Mode::Full;
    // A fresh backup right before the merge: messages that reached the phone since it was attached stay.
    IOSMobileBackupThread backupJob(true, device, full, full ? FullBackupFolder : BackupFolder,
                                    m_dialogs.progressForm());
    backupJob.wantedApps << QStringLiteral("jp.naver.line");
    if (full) {
        try {
            for (const PlistCFType& app :
                 browseUserApps(device->udid, {QStringLiteral("CFBundleIdentifier")}))
                backupJob.wantedApps << app.value(QStringLiteral("CFBundleIdentifier")).getString();
        } catch (const std::exception& failure) {
            m_dialogs.showError(QString::fromUtf8(failure.what()));
            return Result::Failed;
        }
    }
    QObject::connect(&backupJob, &IOSMobileBackupThread::passcodeRequested,
                     [this](bool shown) { m_dialogs.passcodeNotice(shown); });
    m_dialogs.runJob(backupJob);
    if (!backupJob.succeeded())
        return endOf(backupJob);

    // The merge goes into a copy (content files linked, not copied): the backup as taken keeps matching
    // the phone whatever happens to the transfer.
    const QDir restoreRoot = IOSMobileBackupThread::partialBackupRoot(RestoreFolder);
    const QString restoreFolder = restoreRoot.filePath(device->udid);
    const RemoveOnExit removeCopy(restoreFolder);
    QString password = device->backupPassword;
    PBackupManifest backup;
    try {
        LinkedBackupCopy::make(backupJob.backupRoot().filePath(device->udid), restoreFolder);
        backup = std::make_shared<BackupManifest>(restoreFolder);
        backup->loadInfo();
    } catch (const std::exception& failure) {
        m_dialogs.showError(QString::fromUtf8(failure.what()));
        return Result::Failed;
    }
    if (backup->isEncrypted()) {
        bool unlocked = false;
        if (!password.isEmpty()) {
            IOSiTunesBKSetPasswordThread unlock(backup.get(), password, m_dialogs.progressForm());
            m_dialogs.runJob(unlock);
            if (unlock.cancelled())
                return Result::Cancelled;
            unlocked = unlock.succeeded() && unlock.unlocked();
        }
        if (!unlocked) {
            const std::optional<QString> given = m_dialogs.askTargetBackupPassword(*backup);
            if (!given)
                return Result::Failed;
            password = *given;
            device->backupPassword = password;
        }
    }

    QTemporaryDir work(appDataDir().filePath(QStringLiteral("ios_cache/transfer-XXXXXX")));
    if (!work.isValid()) {
        m_dialogs.showError(tr("Can't create a temporary folder: %1").arg(work.errorString()));
        return Result::Failed;
    }
    IOSLoadLineFromiTunesThread loadJob(backup.get(), m_dialogs.progressForm(), work.path());
    loadJob.setMissingIsNotFound(true);
    m_dialogs.runJob(loadJob);
    if (!loadJob.succeeded())
        return endOf(loadJob);
    if (!loadJob.found()) {
        m_dialogs.showError(tr("Can't access Line data on your iPhone. Please make sure you have installed "
                               "and logined Line Messenger on your iPhone."));
        return Result::Failed;
    }
    IOSRestoreLineMsgThread merge(device, loadJob.appFolder(), source.messages, m_dialogs.progressForm());
    m_dialogs.runJob(merge);
    if (!merge.succeeded())
        return endOf(merge);
    IOSMergeWAFiles2iTunesBKThread put(backup.get(), merge.items(), m_dialogs.progressForm());
    m_dialogs.runJob(put);
    if (!put.succeeded())
        return endOf(put);
    if (put.filesWritten() == 0) {
        // The fresh backup is the phone as it is, and the merge changed nothing in its copy: a restore
        // would only restart the phone.
        m_restoreSkipped = true;
        m_transferred = merge.handledCount();
        return Result::Done;
    }
    const QString reduced = QStringLiteral("Manifest-line.db");
    if (!full) {
        try {
            backup->pruneManifest(backup->folder().filePath(reduced), false,
                                  {LineDeviceMerge::AppDomain, LineDeviceMerge::GroupDomain});
        } catch (const std::exception& failure) {
            m_dialogs.showError(QString::fromUtf8(failure.what()));
            return Result::Failed;
        }
    }

    const bool systemMode = !full && DeviceRemoteOptions::systemMode();
    IOSMobileRestoreThread restore(true, device, restoreRoot.path(), systemMode, m_dialogs.progressForm());
    restore.setPassword(password);
    if (!full) {
        restore.setManifestDbSubstitute(reduced);
        if (systemMode)
            restore.setRestoreSystemFiles(false);
    }
    m_dialogs.runJob(restore);
    if (!restore.succeeded()) {
        restoreFailed = !restore.cancelled();
        return endOf(restore);
    }
    m_transferred = merge.handledCount();
    return Result::Done;
}
