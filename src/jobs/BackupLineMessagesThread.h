#pragma once

#include "jobs/JobThread.h"
#include "line/AbsLineMsgsSource.h"

// Copies the messages of any source (an iPhone store, a backup, another local database, a selection)
// into a local message database with their chats, users, groups, thumbnails and media files, without
// duplicates (LineLocalDbMerger does the work). All rows of a run land in one transaction: a cancel or
// an error commits nothing, while media copies made on the way stay.
class BackupLineMessagesThread : public JobThread
{
    Q_OBJECT

public:
    BackupLineMessagesThread(PAbsLineMsgsSource source, const QString& databaseFolder, QObject* progressForm,
                             QObject* parent = nullptr);

    // Results, readable after the thread finished.
    qint64 processedCount() const { return m_processed; }
    qint64 insertedCount() const { return m_inserted; }
    qint64 mediaCopiedCount() const { return m_mediaCopied; }

protected:
    JobMessage work(JobControl& control) override;

private:
    PAbsLineMsgsSource m_source;
    QString m_databaseFolder;
    qint64 m_processed = 0;
    qint64 m_inserted = 0;
    qint64 m_mediaCopied = 0;
};
