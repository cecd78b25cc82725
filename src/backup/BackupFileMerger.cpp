#include "backup/BackupFileMerger.h"

#include "app/JobControl.h"
#include "backup/BackupFileOps.h"
#include "backup/BackupManifest.h"
#include "backup/MBDBParser.h"

#include <QFileInfo>
#include <QtDebug>
#include <exception>
#include <stdexcept>

namespace {

// New content written beside its final place, renamed in after the manifest is saved.
struct StagedContent
{
    QString temporary;
    QString target;
};

class StagedContents
{
public:
    ~StagedContents()
    {
        for (const StagedContent& content : std::as_const(m_contents))
            QFile::remove(content.temporary);
    }
    void add(const StagedContent& content) { m_contents.append(content); }
    void commit()
    {
        while (!m_contents.isEmpty()) {
            const StagedContent content = m_contents.takeFirst();
            try {
                BackupFileOps::replaceFile(content.temporary, content.target);
            } catch (const std::exception&) {
                m_contents.prepend(content);
                throw;
            }
        }
    }

private:
    QList<StagedContent> m_contents;
};

// Whether a content file can be replaced: it is no folder and its folder takes new files.
bool canReplace(const QString& target)
{
    const QFileInfo info(target);
    return !info.isDir() && QFileInfo(info.absolutePath()).isWritable();
}

} // namespace

BackupFileMerger::BackupFileMerger(BackupManifest& manifest, const QList<MergeItem>& items)
    : m_manifest(manifest), m_items(items)
{
}

void BackupFileMerger::run(JobControl& control)
{
    control.setStatus(tr("Transferring files..."));
    FileRecordSet records = m_manifest.loadRecords();
    EncryptedItem classC;
    EncryptedItem classD;
    if (m_manifest.isEncrypted())
        m_manifest.firstEncryptedItem(classC, classD);

    StagedContents staged;
    const qsizetype count = m_items.size();
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
        const bool replaceContent = !targetExists || item.overwrite;
        QString content = target;
        if (replaceContent) {
            if (targetExists && !canReplace(target))
                throw std::runtime_error(tr("cannot overwrite %1").arg(target).toStdString());
            content = BackupFileOps::temporaryPathFor(target);
            staged.add({content, target});
            const EncryptedItem& key = item.classD ? classD : classC;
            BackupManifest::encryptFile(item.localPath, content, key.fileKey);
        }
        qInfo("BackupFileMerger: %s ==> (%s) %s", qUtf8Printable(target), qUtf8Printable(item.domain),
              qUtf8Printable(item.relativePath));

        // A record keeps its size only when its content was kept; new content brings its own size.
        const bool hasRecord = records.records.contains(fileId);
        const qint64 size = replaceContent || !hasRecord ? local.size() : -1;
        QString errorText;
        if (!MBDBParser::appendFile(records, content, item.domain, item.relativePath, size, item.classD,
                                    classC.encryptionKey, classD.encryptionKey, errorText, replaceContent))
            throw std::runtime_error(errorText.toStdString());
    }
    control.throwIfCancelled();
    m_manifest.saveRecords(records);
    staged.commit();
}
