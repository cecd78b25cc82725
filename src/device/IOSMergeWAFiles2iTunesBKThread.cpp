#include "device/IOSMergeWAFiles2iTunesBKThread.h"

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

IOSMergeWAFiles2iTunesBKThread::IOSMergeWAFiles2iTunesBKThread(BackupManifest* manifest,
                                                               const QList<MergeItem>& items, QObject* form,
                                                               QObject* parent)
    : QThread(parent), m_manifest(manifest), m_items(items), m_form(form)
{
}

void IOSMergeWAFiles2iTunesBKThread::run()
{
    try {
        if (merge())
            m_form.succeed(QString());
    } catch (const std::exception& error) {
        m_form.errorOccurred(QString::fromUtf8(error.what()));
    }
}

bool IOSMergeWAFiles2iTunesBKThread::merge()
{
    m_form.updateProgress(tr("Transferring files..."), 0, QString());
    FileRecordSet records = m_manifest->loadRecords();
    EncryptedItem classC;
    EncryptedItem classD;
    if (m_manifest->isEncrypted())
        m_manifest->firstEncryptedItem(classC, classD);

    StagedContents staged;
    const qsizetype count = m_items.size();
    for (qsizetype k = 1; k <= count; ++k) {
        const MergeItem& item = m_items.at(k - 1);
        if (m_form.isCancelled())
            return false;
        m_form.updateProgress(QString(), static_cast<int>(k * 100 / count),
                              tr("File: %1").arg(item.relativePath.section(QLatin1Char('/'), -1)));
        if (item.relativePath.isEmpty() || item.localPath.isEmpty())
            continue;
        const QString fileId = BackupManifest::fileId(item.domain, item.relativePath);
        const QString target = BackupManifest::contentPath(m_manifest->folder(), fileId, true);
        const QFileInfo local(item.localPath);
        if (!local.isFile())
            continue;

        const bool targetExists = QFileInfo::exists(target);
        const bool replaceContent = !targetExists || item.overwrite;
        QString content = target;
        if (replaceContent) {
            if (targetExists && !canReplace(target)) {
                m_form.errorOccurred(tr("can not overwrite %1").arg(target));
                return false;
            }
            content = BackupFileOps::temporaryPathFor(target);
            staged.add({content, target});
            const EncryptedItem& key = item.classD ? classD : classC;
            BackupManifest::encryptFile(item.localPath, content, key.fileKey);
        }
        qInfo("IOSMergeWAFiles2iTunesBKThread: %s ==> (%s) %s", qUtf8Printable(target),
              qUtf8Printable(item.domain), qUtf8Printable(item.relativePath));

        // A record keeps its size only when its content was kept; new content brings its own size.
        const bool hasRecord = records.records.contains(fileId);
        const qint64 size = replaceContent || !hasRecord ? local.size() : -1;
        QString errorText;
        if (!MBDBParser::appendFile(records, content, item.domain, item.relativePath, size, item.classD,
                                    classC.encryptionKey, classD.encryptionKey, errorText, replaceContent))
            throw std::runtime_error(errorText.toStdString());
    }
    m_manifest->saveRecords(records);
    staged.commit();
    return true;
}
