#include "jobs/BackupLineMessagesThread.h"

#include "app/JobReporter.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsListSource.h"

#include <exception>

BackupLineMessagesThread::BackupLineMessagesThread(PAbsLineMsgsSource source, const QString& databaseFolder,
                                                   QObject* progressForm, QObject* parent)
    : QThread(parent), m_source(std::move(source)), m_databaseFolder(databaseFolder),
      m_progressForm(progressForm)
{
}

void BackupLineMessagesThread::run()
{
    const JobReporter reporter(m_progressForm);
    m_succeeded = false;
    m_cancelled = false;
    m_processed = m_inserted = m_mediaCopied = 0;
    reporter.updateProgress(tr("IDS_BACKING_UP_LINE_MESSAGES"), 0);
    try {
        int reportedPercent = -1;
        LineMergeControl control;
        control.progress = [&](qint64 done, qint64 total) {
            // One report per percent: a million queued reports would only flood the form's thread.
            const int percent = int(done * 100 / total);
            if (percent != reportedPercent) {
                reporter.updateProgress(QString(), percent);
                reportedPercent = percent;
            }
        };
        control.cancelled = [&reporter] { return reporter.isCancelled(); };

        // No source backs up nothing, but still prepares the database as an empty source does.
        const PAbsLineMsgsSource source = m_source ? m_source : std::make_shared<LineMsgsListSource>();
        LineLocalDb database(m_databaseFolder);
        const LineLocalDbMerger::Result result =
            LineLocalDbMerger(database, std::move(control)).merge(*source);
        m_processed = result.processed;
        m_inserted = result.inserted;
        m_mediaCopied = result.mediaCopied;
        if (result.cancelled) {
            m_cancelled = true;
            return;
        }
    } catch (const std::exception& error) {
        reporter.errorOccurred(QString::fromUtf8(error.what()));
        return;
    }
    m_succeeded = true;
    reporter.succeed(tr("IDS_SUC_BACKUP_%1_MESSAGES").arg(m_processed));
}
