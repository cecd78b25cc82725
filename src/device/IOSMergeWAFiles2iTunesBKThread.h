#pragma once

#include "app/JobReporter.h"
#include "device/MergeItem.h"

#include <QList>
#include <QThread>

class BackupManifest;

// Puts files from the computer into a backup on a worker thread: encrypts each with a key borrowed from
// a file of its class (or copies it into a plain backup) and adds or updates its record.
//
// The backup changes all at once or not at all as far as a failure or a cancel is concerned: new
// content is written beside its final place, the manifest is saved, and only then is the new content
// renamed into place. A cancel, a missing key or any error leaves the backup as it was.
class IOSMergeWAFiles2iTunesBKThread : public QThread
{
    Q_OBJECT

public:
    IOSMergeWAFiles2iTunesBKThread(BackupManifest* manifest, const QList<MergeItem>& items, QObject* form,
                                   QObject* parent = nullptr);

protected:
    void run() override;

private:
    // False (after reporting the error) when the run stopped without saving.
    bool merge();

    BackupManifest* m_manifest;
    QList<MergeItem> m_items;
    JobReporter m_form;
};
