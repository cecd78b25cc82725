#pragma once

#include "backup/MergeItem.h"

#include <QCoreApplication>
#include <QList>

class BackupManifest;
class JobControl;

// Puts files from the computer into a backup: encrypts each with a key borrowed from a file of its class
// (or copies it into a plain backup) and adds or updates its record.
//
// The backup changes all at once or not at all as far as a failure or a cancel is concerned: new
// content is written beside its final place, the manifest is saved, and only then is the new content
// renamed into place. A cancel, a missing key or any error leaves the backup as it was.
class BackupFileMerger
{
    Q_DECLARE_TR_FUNCTIONS(BackupFileMerger)

public:
    // The manifest is lent: it must outlive the merger and be unlocked when the backup is encrypted.
    BackupFileMerger(BackupManifest& manifest, const QList<MergeItem>& items);

    // Throws std::runtime_error with a text for the user, or JobCancelled.
    void run(JobControl& control);

private:
    BackupManifest& m_manifest;
    QList<MergeItem> m_items;
};
