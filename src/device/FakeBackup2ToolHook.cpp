#include "device/FakeBackup2ToolHook.h"

#include "device/DeviceApps.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <stdexcept>

namespace {

QString lastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

const QString kDNameFile = QStringLiteral("dname.sqlite");

} // namespace

FakeBackup2ToolHook::FakeBackup2ToolHook(bool keepOther) : keepOtherFiles(keepOther)
{
}

QString FakeBackup2ToolHook::containerUuid(const QString& devicePath)
{
    static const QRegularExpression uuid(
        QStringLiteral("([a-f0-9]{8}-[a-f0-9]{4}-[a-f0-9]{4}-[a-f0-9]{4}-[a-f0-9]{12})"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = uuid.match(devicePath);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

bool FakeBackup2ToolHook::isWanted(const QString& backupPath, QString devicePath)
{
    const QString name = lastComponent(backupPath);
    if (devicePath.isEmpty() && !names.alwaysStored.contains(name.toLower()))
        devicePath = names.deviceDirOf(name);
    return isWantedAt(name, devicePath);
}

bool FakeBackup2ToolHook::isWantedAt(const QString& name, const QString& devicePath) const
{
    if (names.alwaysStored.contains(name.toLower()))
        return true;
    const QString uuid = containerUuid(devicePath);
    if (!uuid.isEmpty()) {
        for (const QString& app : wantedApps) {
            const auto containers = names.appContainers.constFind(app);
            if (containers != names.appContainers.constEnd() && containers->contains(uuid))
                return true;
        }
    }
    if (!keepOtherFiles)
        return false;
    return uuid.isEmpty() || !names.allContainers.contains(uuid);
}

void FakeBackup2ToolHook::openNamesOrThrow(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!names.openNames(path, &error))
        throw std::runtime_error(QStringLiteral("open dname.sqlite failed. %1").arg(error).toStdString());
}

void FakeBackup2ToolHook::learnContainers(const QList<PlistCFType>& apps)
{
    for (const PlistCFType& app : apps) {
        QSet<QString> containers;
        const QString container = containerUuid(app.value(QStringLiteral("Container")).getString());
        if (!container.isEmpty())
            containers.insert(container);
        for (const auto& [group, path] : app.value(QStringLiteral("GroupContainers")).entries()) {
            const QString uuid = containerUuid(path.getString());
            if (!uuid.isEmpty())
                containers.insert(uuid);
        }
        names.allContainers.unite(containers);
        names.appContainers.insert(app.value(QStringLiteral("CFBundleIdentifier")).getString(), containers);
    }
}

void FakeBackup2ToolHook::begin(const QDir& root, const QString& udid)
{
    const QDir folder(root.filePath(udid));
    const QString namesPath = folder.filePath(kDNameFile);
    // Records without a finished backup beside them describe nothing the device can rely on.
    if (!names.isOpen() && !QFileInfo::exists(folder.filePath(QStringLiteral("Manifest.db"))))
        QFile::remove(namesPath);
    if (QFileInfo::exists(namesPath))
        openNamesOrThrow(namesPath);
    bool ok = false;
    const QList<PlistCFType> apps =
        browseUserApps(udid,
                       {QStringLiteral("CFBundleIdentifier"), QStringLiteral("Container"),
                        QStringLiteral("GroupContainers")},
                       &ok);
    if (ok)
        learnContainers(apps);
    else
        qWarning("partial backup: the installed apps could not be listed; only the metadata is kept");
}

QList<Backup2DirEntry> FakeBackup2ToolHook::listDirectory(const QDir& root, const QString& path)
{
    const QString name = lastComponent(path);
    if (name.compare(QLatin1String("Snapshot"), Qt::CaseInsensitive) == 0)
        return Backup2ToolHook::listDirectory(root, path);
    if (name.isEmpty() || name.size() > 2)
        return names.listDir(QString());
    QList<Backup2DirEntry> entries;
    for (const FakeDNameDb::Row& row : names.rowsIn(name)) {
        const QString rowPath = path + QLatin1Char('/') + row.entry.name;
        // The row's own device path decides, as a look-up by name would.
        if (!isWantedAt(row.entry.name, row.devicePath)) {
            entries.append(row.entry);
            continue;
        }
        // A kept file counts only when it is on disk; a missing one is left out so the device sends it.
        const QFileInfo onDisk(root.filePath(rowPath));
        if (onDisk.isFile()) {
            Backup2DirEntry entry = row.entry;
            entry.size = onDisk.size();
            entry.mtime = onDisk.lastModified();
            entries.append(entry);
        }
    }
    return entries;
}

void FakeBackup2ToolHook::fileIncoming(const QDir& root, const QString& udid, const QString& backupPath,
                                       const QString& devicePath)
{
    if (!names.isOpen())
        openNamesOrThrow(root.filePath(udid + QLatin1Char('/') + kDNameFile));
    m_lastName = lastComponent(backupPath);
    m_lastWanted = isWanted(backupPath, devicePath);
    names.record(m_lastName, devicePath, m_lastWanted, QDateTime::currentDateTime());
}

int FakeBackup2ToolHook::openForWrite(const QDir& root, const QString& backupPath, QFile& file,
                                      QString& errorText)
{
    const bool wanted =
        lastComponent(backupPath) == m_lastName ? m_lastWanted : isWanted(backupPath, QString());
    if (!wanted)
        return QFileDevice::NoError;
    return Backup2ToolHook::openForWrite(root, backupPath, file, errorText);
}

void FakeBackup2ToolHook::fileReceived(const QDir&, const QString& backupPath, qint64 size)
{
    names.updateSize(lastComponent(backupPath), size, QDateTime::currentDateTime());
}

int FakeBackup2ToolHook::remove(const QDir& root, const QString& path, QString& errorText)
{
    const QString name = lastComponent(path);
    if (!path.contains(QLatin1String("snapshot"), Qt::CaseInsensitive) && name.size() > 2)
        names.forget(name);
    return Backup2ToolHook::remove(root, path, errorText);
}

int FakeBackup2ToolHook::copy(const QDir&, const QString&, const QString&, QString&)
{
    return QFileDevice::NoError;
}

int FakeBackup2ToolHook::makeDirectory(const QDir&, const QString&)
{
    return QFileDevice::NoError;
}
