#include "jobs/LineBackupLoader.h"

#include "app/FileNames.h"
#include "app/JobControl.h"
#include "backup/BackupManifest.h"
#include "line/IOSLineDb.h"

#include <QFileInfo>
#include <stdexcept>

LineBackupLoader::LineBackupLoader(BackupManifest& backup, const QString& cacheFolder)
    : m_backup(backup), m_appFolder(QDir(cacheFolder).filePath(QStringLiteral("jp.naver.line")))
{
}

bool LineBackupLoader::run(JobControl& control)
{
    control.setStatus(tr("IDS_LOADING_ITUNES_BACKUP"), 99);
    m_backup.buildFileTree();
    const BackupFileTree& tree = m_backup.fileTree();
    const BackupTreeNode* applications = tree.topNode(QStringLiteral("Applications"));
    const BackupTreeNode* groups = tree.topNode(QStringLiteral("AppDomainGroup"));
    const BackupTreeNode* app = applications ? applications->child(QStringLiteral("jp.naver.line")) : nullptr;
    const BackupTreeNode* group = groups ? groups->child(QStringLiteral("group.com.linecorp.line")) : nullptr;
    if (!app && !group) {
        if (m_missingIsNotFound)
            return false;
        throw std::runtime_error(
            "Found no Line data in your iTunes Backup. Please check if you have installed and "
            "logined Line on your iPhone.");
    }
    const QDir folder(m_appFolder);
    QDir().mkpath(m_appFolder);
    QDir(folder.filePath(QStringLiteral("Documents"))).removeRecursively();
    QDir(folder.filePath(QStringLiteral("Library"))).removeRecursively();
    if (app) {
        for (const QString& name : {QStringLiteral("Documents"), QStringLiteral("Library")}) {
            if (const BackupTreeNode* child = app->child(name))
                copyNode(*child, folder, control);
        }
    }
    if (group) {
        if (const BackupTreeNode* library = group->child(QStringLiteral("Library")))
            copyNode(*library, folder, control);
    }
    const IOSLineDb db(m_appFolder);
    const QFileInfo store(db.storePath());
    return store.isFile() && store.size() > 0;
}

void LineBackupLoader::copyNode(const BackupTreeNode& node, const QDir& folder, JobControl& control)
{
    control.setPercent(99, tr("IDS_CACHING_BACKUP_FILE_%1").arg(node.name));
    control.throwIfCancelled();
    const QString target = folder.filePath(fileNameSafe(node.name));
    if (node.isDirectory) {
        QDir().mkpath(target);
        for (const BackupTreeNode* child : node.children)
            copyNode(*child, QDir(target), control);
        return;
    }
    if (!node.record || node.record->isSymlink())
        return;
    // A record whose content the backup does not hold is skipped.
    if (!QFileInfo::exists(m_backup.contentPath(node.record->fileId())))
        return;
    QFile::remove(target);
    m_backup.copyItem(*node.record, target);
}
