#include "jobs/IOSLoadLineFromiTunesThread.h"

#include "backup/BackupManifest.h"

#include <QDir>

namespace {

QString cacheFolderFor(const BackupManifest& backup, const QString& cacheFolder)
{
    if (!cacheFolder.isEmpty())
        return cacheFolder;
    return QDir(QDir::tempPath()).filePath(QStringLiteral("vantorel-itunes_cache/") + backup.backupId());
}

} // namespace

IOSLoadLineFromiTunesThread::IOSLoadLineFromiTunesThread(BackupManifest* backup, QObject* form,
                                                         const QString& cacheFolder, QObject* parent)
    : JobThread(form, parent), m_loader(*backup, cacheFolderFor(*backup, cacheFolder))
{
}

JobMessage IOSLoadLineFromiTunesThread::work(JobControl& control)
{
    m_found = false;
    m_found = m_loader.run(control);
    return JobMessage();
}
