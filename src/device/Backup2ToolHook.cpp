#include "device/Backup2ToolHook.h"

#include <QDirIterator>
#include <QFileInfo>

Backup2ToolHook::~Backup2ToolHook() = default;

void Backup2ToolHook::begin(const QDir&, const QString&)
{
}

bool Backup2ToolHook::onMessage(const QDir&, const QString&, const PlistCFType&, int&, QString&)
{
    return true;
}

QList<Backup2DirEntry> Backup2ToolHook::listDirectory(const QDir& root, const QString& path)
{
    QList<Backup2DirEntry> entries;
    QDirIterator it(root.filePath(path),
                    QDir::Dirs | QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        Backup2DirEntry entry;
        entry.name = info.fileName();
        entry.type = info.isDir() ? Backup2DirEntry::Directory : Backup2DirEntry::File;
        entry.size = info.isDir() ? 0 : info.size();
        entry.mtime = info.lastModified();
        entries.append(entry);
    }
    return entries;
}

void Backup2ToolHook::fileIncoming(const QDir&, const QString&, const QString&, const QString&)
{
}

int Backup2ToolHook::openForWrite(const QDir&, const QString&, QFile& file, QString& errorText)
{
    QDir().mkpath(QFileInfo(file.fileName()).absolutePath());
    // Unbuffered: every block goes to the disk at once, so a full disk shows at the write that hit it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        errorText = file.errorString();
        return file.error() == QFileDevice::NoError ? QFileDevice::OpenError : file.error();
    }
    return QFileDevice::NoError;
}

void Backup2ToolHook::fileReceived(const QDir&, const QString&, qint64)
{
}

bool Backup2ToolHook::removePath(const QString& absolutePath)
{
    const QFileInfo info(absolutePath);
    if (info.isDir() && !info.isSymLink())
        return QDir(absolutePath).removeRecursively();
    return QFile::remove(absolutePath);
}

int Backup2ToolHook::move(const QDir& root, const QString& from, const QString& to, QString& errorText)
{
    const QString source = root.filePath(from);
    const QString target = root.filePath(to);
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists() && !sourceInfo.isSymLink())
        return QFileDevice::NoError;
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink())
        removePath(target);
    QDir().mkpath(targetInfo.absolutePath());
    QFile file(source);
    if (!file.rename(target)) {
        errorText = file.errorString();
        return file.error() == QFileDevice::NoError ? QFileDevice::RenameError : file.error();
    }
    return QFileDevice::NoError;
}

int Backup2ToolHook::remove(const QDir& root, const QString& path, QString&)
{
    const QString target = root.filePath(path);
    const QFileInfo info(target);
    if (info.exists() || info.isSymLink())
        removePath(target);
    return QFileDevice::NoError;
}

namespace {

int copyTree(const QString& source, const QString& target, QString& errorText)
{
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists())
        return QFileDevice::NoError;
    const QFileInfo targetInfo(target);
    if (!sourceInfo.isDir()) {
        if (targetInfo.isDir()) {
            errorText = QStringLiteral("Destination is a folder.");
            return QFileDevice::CopyError;
        }
        if (targetInfo.exists())
            QFile::remove(target);
        QDir().mkpath(targetInfo.absolutePath());
        QFile file(source);
        if (!file.copy(target)) {
            errorText = file.errorString();
            return file.error() == QFileDevice::NoError ? QFileDevice::CopyError : file.error();
        }
        return QFileDevice::NoError;
    }
    if (targetInfo.exists() && !targetInfo.isDir()) {
        errorText = QStringLiteral("Destination is a file.");
        return QFileDevice::CopyError;
    }
    QDir().mkpath(target);
    const QDir folder(source);
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Dirs | QDir::Files | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot)) {
        // Links inside the copied folder are not followed out of it.
        if (entry.isSymLink())
            continue;
        const int result =
            copyTree(entry.filePath(), target + QLatin1Char('/') + entry.fileName(), errorText);
        if (result != QFileDevice::NoError)
            return result;
    }
    return QFileDevice::NoError;
}

} // namespace

int Backup2ToolHook::copy(const QDir& root, const QString& from, const QString& to, QString& errorText)
{
    return copyTree(root.filePath(from), root.filePath(to), errorText);
}

int Backup2ToolHook::makeDirectory(const QDir& root, const QString& path)
{
    QDir().mkpath(root.filePath(path));
    return QFileDevice::NoError;
}
