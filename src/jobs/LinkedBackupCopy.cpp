#include "jobs/LinkedBackupCopy.h"

#include "platform/HardLink.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

} // namespace

void LinkedBackupCopy::make(const QString& source, const QString& destination)
{
    const QDir from(source);
    if (!from.exists())
        fail(tr("There is no backup in %1.").arg(QDir::toNativeSeparators(source)));
    QDir target(destination);
    if (target.exists() && !target.removeRecursively())
        fail(tr("Can't remove %1.").arg(QDir::toNativeSeparators(destination)));
    if (!QDir().mkpath(destination))
        fail(tr("Can't create %1.").arg(QDir::toNativeSeparators(destination)));
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = from.relativeFilePath(path);
        const QString copy = target.filePath(relative);
        if (info.isDir()) {
            if (!QDir().mkpath(copy))
                fail(tr("Can't create %1.").arg(QDir::toNativeSeparators(copy)));
            continue;
        }
        const bool topLevel = !relative.contains(QLatin1Char('/'));
        if (!topLevel && makeHardLink(path, copy))
            continue;
        if (!QFile::copy(path, copy))
            fail(tr("Can't copy %1 to %2.")
                     .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(copy)));
    }
}
