#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QLockFile>
#include <QString>

// Replaces several files of a backup folder (content files and the manifest) so that a crash at any moment
// leaves the backup as it was or as it was meant to become, never a mix of both. Every replacement is
// written in full under a temporary name beside its target, and a journal in the folder names each
// temporary file before the file is created. commit() marks the journal committed, renames the files into
// place and removes the journal. When the backup is next opened, recover() finishes the renames of a
// committed journal or removes the temporary files of one that never got that far. A lock file beside the
// journal keeps a second writer, and the recovery of other runs, away while a transaction is open; the
// lock of a run that was killed counts as free.
class BackupTransaction
{
    Q_DECLARE_TR_FUNCTIONS(BackupTransaction)

public:
    // Takes the folder's write lock. Throws std::runtime_error when another run holds it or it cannot be
    // created.
    explicit BackupTransaction(const QDir& folder);
    // Without a commit, removes every staged file and the journal.
    ~BackupTransaction();
    BackupTransaction(const BackupTransaction&) = delete;
    BackupTransaction& operator=(const BackupTransaction&) = delete;

    // A new temporary path beside target (a content file or the manifest of this backup) for its
    // replacement, listed in the journal before it is returned. The file may be written without a sync of
    // its own: commit() puts every staged file on the disk first.
    QString stage(const QString& target);
    // Puts the staged files on the disk (one request for the whole file system where the system takes it,
    // else file by file), then renames every staged file over its target. When a rename fails, the
    // committed journal stays, so the next open finishes the work, and the first error is thrown.
    void commit();

    // Finishes or undoes what an interrupted transaction left in folder. Does nothing while another run
    // holds the lock; problems are logged, never thrown, so a backup on a read-only disk still opens.
    static void recover(const QDir& folder);

    static const QString JournalName;
    static const QString LockName;

private:
    struct Entry
    {
        QString temporary; // both relative to the folder
        QString target;
    };

    // Adds entry to the journal (made with its header at the first call). Throws std::runtime_error.
    void appendToJournal(const Entry& entry);
    // Replaces the journal with one marked committed, synced to disk. Throws std::runtime_error.
    void syncStagedFiles();
    void writeCommittedJournal();

    QDir m_folder;
    QLockFile m_lock;
    QFile m_journal; // open for appending while files are staged
    QList<Entry> m_entries;
    bool m_finished = false;
};
