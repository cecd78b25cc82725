#pragma once

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <memory>

// A file written under a temporary name beside its destination and renamed into place by commit(),
// so the destination holds either its old content or the complete new one. Discarded when destroyed
// without a commit. With syncToDisk the data is flushed to the disk before the rename (for files
// inside a backup); without it (copies taken out of a backup) the rename happens at once.
class StagedFile
{
public:
    StagedFile(const QString& destination, bool syncToDisk);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the destination's folder when missing. False with errorString() set on failure.
    bool open();
    QIODevice& device();
    QString errorString() const;
    const QString& destination() const { return m_destination; }

    // Sets the access and modification times the destination will carry.
    void setFileTime(const QDateTime& time) { m_fileTime = time; }

    // Throws std::runtime_error "write %1 failed. %2" when the data cannot be completed or renamed.
    void commit();

private:
    QString m_destination;
    bool m_syncToDisk;
    QDateTime m_fileTime;
    std::unique_ptr<QSaveFile> m_saveFile;
    std::unique_ptr<QFile> m_temporary;
    bool m_committed = false;
};
