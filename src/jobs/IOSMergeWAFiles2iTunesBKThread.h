#pragma once

#include "backup/MergeItem.h"
#include "jobs/JobThread.h"

#include <QList>

class BackupManifest;

// The merge-into-backup job: runs a BackupFileMerger on this thread for the progress form. Success
// closes the form without a message.
class IOSMergeWAFiles2iTunesBKThread : public JobThread
{
    Q_OBJECT

public:
    IOSMergeWAFiles2iTunesBKThread(BackupManifest* manifest, const QList<MergeItem>& items, QObject* form,
                                   QObject* parent = nullptr);

    // After success: files put into the backup or new to it (see BackupFileMerger::filesWritten).
    qsizetype filesWritten() const { return m_filesWritten; }

protected:
    JobMessage work(JobControl& control) override;

private:
    BackupManifest* m_manifest;
    QList<MergeItem> m_items;
    qsizetype m_filesWritten = 0;
};
