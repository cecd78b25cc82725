#pragma once

#include "backup/MergeItem.h"

#include <QCoreApplication>
#include <QList>

class BackupManifest;
class JobControl;

// Puts files from the computer into a backup: in an encrypted backup each file gets a fresh key of its
// own, wrapped under the key of its protection class, and is encrypted with it; a plain backup gets a
// copy. Each file's record is added or updated.
//
// The backup changes all at once or not at all, also when the process is killed: new content and the new
// manifest are written beside their final places (see BackupTransaction), and only then renamed into
// place. A cancel, a missing key or any error leaves the backup as it was.
class BackupFileMerger
{
    Q_DECLARE_TR_FUNCTIONS(BackupFileMerger)

public:
    // The manifest is lent: it must outlive the merger and be unlocked when the backup is encrypted.
    BackupFileMerger(BackupManifest& manifest, const QList<MergeItem>& items);

    // Throws std::runtime_error with a text for the user, or JobCancelled.
    void run(JobControl& control);
    // Files of the last run whose content was put into the backup, or that the backup did not list
    // before; a file already there with content that is kept only has its record's times brought up to date.
    qsizetype filesWritten() const { return m_filesWritten; }

private:
    BackupManifest& m_manifest;
    QList<MergeItem> m_items;
    qsizetype m_filesWritten = 0;
};
