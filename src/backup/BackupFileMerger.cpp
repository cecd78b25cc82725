#include "backup/BackupFileMerger.h"

#include "app/JobControl.h"
#include "app/PausePoint.h"
#include "backup/BackupManifest.h"
#include "backup/BackupTransaction.h"
#include "backup/MBDBParser.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QtDebug>
#include <algorithm>
#include <stdexcept>

namespace {

// One line per merged file: off unless asked for (QT_LOGGING_RULES="ferrowyn.backup.files.info=true"), a
// transfer of a long history merges hundreds of thousands.
Q_LOGGING_CATEGORY(mergedFiles, "ferrowyn.backup.files", QtWarningMsg)

// Whether a content file can be replaced: it is no folder and its folder takes new files.
bool canReplace(const QString& target)
{
    const QFileInfo info(target);
    return !info.isDir() && QFileInfo(info.absolutePath()).isWritable();
}

bool hasPendingChanges(const FileRecordSet& records)
{
    return std::any_of(records.records.cbegin(), records.records.cend(),
                       [](const BackupFileRecord& r) { return r.added || r.modified || r.removed; });
}

} // namespace

BackupFileMerger::BackupFileMerger(BackupManifest& manifest, const QList<MergeItem>& items)
    : m_manifest(manifest), m_items(items)
{
}

void BackupFileMerger::run(JobControl& control)
{
    control.setStatus(tr("Transferring files..."));
    m_filesWritten = 0;
    const bool encrypted = m_manifest.isEncrypted();
    if (encrypted && !m_manifest.isUnlocked())
        throw std::runtime_error(
            QStringLiteral("The backup %1 is encrypted: unlock it with its password first.")
                .arg(m_manifest.path())
                .toStdString());
    BackupTransaction transaction(m_manifest.folder());
    FileRecordSet records = m_manifest.loadRecords();
    PausePoint::reach("merge-records-loaded");

    const qsizetype count = m_items.size();
    qsizetype merged = 0;
    for (qsizetype k = 1; k <= count; ++k) {
        const MergeItem& item = m_items.at(k - 1);
        control.throwIfCancelled();
        control.setProgress(k, count, tr("File: %1").arg(item.relativePath.section(QLatin1Char('/'), -1)));
        if (item.relativePath.isEmpty() || item.localPath.isEmpty())
            continue;
        const QString fileId = BackupManifest::fileId(item.domain, item.relativePath);
        const QString target = BackupManifest::contentPath(m_manifest.folder(), fileId, true);
        const QFileInfo local(item.localPath);
        if (!local.isFile())
            continue;

        const bool targetExists = QFileInfo::exists(target);
        const bool hasRecord = records.records.contains(fileId);
        // Encrypted content without a record has a key nobody knows: it cannot be kept.
        const bool replaceContent = !targetExists || item.overwrite || (encrypted && !hasRecord);
        QString content = target;
        EncryptedItem key;
        if (replaceContent) {
            if (targetExists && !canReplace(target))
                throw std::runtime_error(tr("cannot overwrite %1").arg(target).toStdString());
            if (encrypted) {
                const quint8 protectionClass = item.classD ? 4 : 3;
                key = m_manifest.newFileKey(protectionClass);
                if (key.isEmpty())
                    throw std::runtime_error(
                        tr("The keybag of the backup %1 holds no key of protection class %2.")
                            .arg(m_manifest.path())
                            .arg(protectionClass)
                            .toStdString());
            }
            content = transaction.stage(target);
            BackupManifest::encryptFile(item.localPath, content, key.fileKey, false); // the commit syncs
            PausePoint::reach("merge-content-staged");
        }
        qCInfo(mergedFiles, "BackupFileMerger: %s ==> (%s) %s", qUtf8Printable(target),
               qUtf8Printable(item.domain), qUtf8Printable(item.relativePath));
        ++merged;
        if (replaceContent || !hasRecord)
            ++m_filesWritten;

        // A record keeps its size only when its content was kept; new content brings its own size.
        const qint64 size = replaceContent || !hasRecord ? local.size() : -1;
        QString errorText;
        if (!MBDBParser::appendFile(records, content, item.domain, item.relativePath, size, item.classD,
                                    key.encryptionKey, key.encryptionKey, errorText, replaceContent))
            throw std::runtime_error(errorText.toStdString());
    }
    control.throwIfCancelled();
    if (hasPendingChanges(records)) {
        m_manifest.writeRecords(records, transaction.stage(m_manifest.manifestFilePath()));
        PausePoint::reach("merge-manifest-staged");
    }
    transaction.commit();
    qInfo("BackupFileMerger: %lld files merged into %s", qint64(merged), qUtf8Printable(m_manifest.path()));
}
