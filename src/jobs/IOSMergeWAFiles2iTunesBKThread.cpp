#include "jobs/IOSMergeWAFiles2iTunesBKThread.h"

#include "backup/BackupFileMerger.h"

IOSMergeWAFiles2iTunesBKThread::IOSMergeWAFiles2iTunesBKThread(BackupManifest* manifest,
                                                               const QList<MergeItem>& items, QObject* form,
                                                               QObject* parent)
    : JobThread(form, parent), m_manifest(manifest), m_items(items)
{
}

JobMessage IOSMergeWAFiles2iTunesBKThread::work(JobControl& control)
{
    BackupFileMerger merger(*m_manifest, m_items);
    merger.run(control);
    m_filesWritten = merger.filesWritten();
    return JobMessage();
}
