#include "backup/BackupFileRecord.h"

#include <QCryptographicHash>
#include <algorithm>

QString BackupFileRecord::fileId() const
{
    return backupFileId(domain.bytes, relativePath.bytes);
}

QString backupFileId(const QByteArray& domain, const QByteArray& relativePath)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(domain);
    hash.addData(QByteArrayView("-", 1));
    hash.addData(relativePath);
    return QString::fromLatin1(hash.result().toHex());
}

QString backupFileId(const QString& domain, const QString& relativePath)
{
    return backupFileId(domain.toUtf8(), relativePath.toUtf8());
}

QList<const BackupFileRecord*> sortedRecords(const FileRecordSet& set)
{
    QList<const BackupFileRecord*> sorted;
    sorted.reserve(set.records.size());
    for (const BackupFileRecord& record : set.records)
        sorted.append(&record);
    std::sort(sorted.begin(), sorted.end(), [](const BackupFileRecord* a, const BackupFileRecord* b) {
        const int byDomain = a->domain.bytes.compare(b->domain.bytes);
        if (byDomain != 0)
            return byDomain < 0;
        return a->relativePath.bytes.compare(b->relativePath.bytes) < 0;
    });
    return sorted;
}
