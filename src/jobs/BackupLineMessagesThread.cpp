#include "jobs/BackupLineMessagesThread.h"

#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsListSource.h"

BackupLineMessagesThread::BackupLineMessagesThread(PAbsLineMsgsSource source, const QString& databaseFolder,
                                                   QObject* progressForm, QObject* parent)
    : JobThread(progressForm, parent), m_source(std::move(source)), m_databaseFolder(databaseFolder)
{
}

JobMessage BackupLineMessagesThread::work(JobControl& control)
{
    m_processed = m_inserted = m_mediaCopied = 0;
    control.setStatus(tr("IDS_BACKING_UP_LINE_MESSAGES"));
    // No source backs up nothing, but still prepares the database as an empty source does.
    const PAbsLineMsgsSource source = m_source ? m_source : std::make_shared<LineMsgsListSource>();
    LineLocalDb database(m_databaseFolder);
    const LineLocalDbMerger::Result result = LineLocalDbMerger(database, control).merge(*source);
    m_processed = result.processed;
    m_inserted = result.inserted;
    m_mediaCopied = result.mediaCopied;
    if (result.cancelled)
        throw JobCancelled();
    // A repeated backup must not read as if it had added everything again.
    return tr("IDS_SUC_BACKUP_%1_MESSAGES_%2_NEW_%3_EXISTING")
        .arg(result.inserted + result.alreadyThere)
        .arg(result.inserted)
        .arg(result.alreadyThere);
}
