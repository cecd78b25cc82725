#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QThread>

// Copies the messages of any source (an iPhone store, a backup, another local database, a selection)
// into a local message database with their chats, users, groups, thumbnails and media files, without
// duplicates (LineLocalDbMerger does the work). All rows of a run land in one transaction: a cancel or
// an error commits nothing, while media copies made on the way stay. Reports only through the progress
// form's slots by name (JobReporter); a cancelled run ends without a message.
class BackupLineMessagesThread : public QThread
{
    Q_OBJECT

public:
    BackupLineMessagesThread(PAbsLineMsgsSource source, const QString& databaseFolder, QObject* progressForm,
                             QObject* parent = nullptr);

    // Results, readable after the thread finished.
    bool succeeded() const { return m_succeeded; }
    bool cancelled() const { return m_cancelled; }
    qint64 processedCount() const { return m_processed; }
    qint64 insertedCount() const { return m_inserted; }
    qint64 mediaCopiedCount() const { return m_mediaCopied; }

protected:
    void run() override;

private:
    PAbsLineMsgsSource m_source;
    QString m_databaseFolder;
    QObject* m_progressForm;
    bool m_succeeded = false;
    bool m_cancelled = false;
    qint64 m_processed = 0;
    qint64 m_inserted = 0;
    qint64 m_mediaCopied = 0;
};
