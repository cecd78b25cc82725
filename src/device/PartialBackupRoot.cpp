#include "device/PartialBackupRoot.h"

#include "platform/AppDataDir.h"
#include "platform/FixedDrives.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>
#include <limits>

namespace PartialBackupRoot {
namespace {

const QString kFolderName = QStringLiteral("__vantorel_iosbk_temp");

// The base named by the ".path" file: a drive ("D:/") or an absolute folder; empty when there is none.
QString rememberedBase()
{
    QFile file(pathFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.read(4096)).trimmed();
    static const QRegularExpression drive(QStringLiteral("^([a-zA-Z]:)"));
    const QRegularExpressionMatch match = drive.match(text);
    if (match.hasMatch())
        return match.captured(1) + QLatin1Char('/');
    if (!text.isEmpty() && QDir::isAbsolutePath(text))
        return QDir::cleanPath(text) + QLatin1Char('/');
    return {};
}

void remember(const QString& base)
{
    QSaveFile file(pathFile());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(base.toUtf8());
        file.commit();
    }
}

// The fixed drive with the most free space that takes a new folder (the first of equals wins).
QString bestDrive(const QStringList& drives)
{
    QString best;
    quint64 bestFree = 0;
    for (const QString& root : drives) {
        if (!canWriteIn(root))
            continue;
        const QStorageInfo volume(root);
        const qint64 available = volume.isValid() ? volume.bytesAvailable() : -1;
        const quint64 free = available < 0 ? std::numeric_limits<quint64>::max() : quint64(available);
        if (free > bestFree) {
            best = root;
            bestFree = free;
        }
    }
    return best;
}

} // namespace

QString pathFile()
{
    return appDataDir().filePath(kFolderName + QStringLiteral(".path"));
}

bool canWriteIn(const QString& folder)
{
    const QString probe =
        QDir(folder).filePath(QStringLiteral("__test%1").arg(QDateTime::currentMSecsSinceEpoch()));
    // The highest folder the probe creates, so that exactly what was created goes again.
    QString firstCreated = QDir::cleanPath(probe);
    for (QString parent = QFileInfo(firstCreated).absolutePath(); !QFileInfo::exists(parent);
         parent = QFileInfo(parent).absolutePath()) {
        firstCreated = parent;
        if (QFileInfo(parent).absolutePath() == parent)
            break;
    }
    if (!QDir().mkpath(probe))
        return false;
    QDir(firstCreated).removeRecursively();
    return true;
}

QDir partialBackupRoot(const QString& subFolder)
{
    QString base = rememberedBase();
    if (base.isEmpty()) {
        const QStringList drives = fixedDriveRoots();
        if (drives.isEmpty()) {
            // One file-system tree: the data folder, found afresh each time.
            base = appDataDir().absolutePath() + QLatin1Char('/');
        } else {
            base = bestDrive(drives);
            if (base.isEmpty())
                base = QDir::rootPath();
            remember(base);
        }
    }
    QString path = base + kFolderName;
    if (!subFolder.isEmpty())
        path += QLatin1Char('/') + subFolder;
    return QDir(path);
}

void resetPartialBackupRoot(const QString& subFolder)
{
    partialBackupRoot(subFolder).removeRecursively();
    QFile::remove(pathFile());
}

QDir writableRoot(const QString& subFolder)
{
    const QDir root = partialBackupRoot(subFolder);
    if (canWriteIn(root.absolutePath()))
        return root;
    resetPartialBackupRoot(subFolder);
    return partialBackupRoot(subFolder);
}

} // namespace PartialBackupRoot
