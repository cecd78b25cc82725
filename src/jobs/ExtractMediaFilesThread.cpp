#include "jobs/ExtractMediaFilesThread.h"

#include <QDir>
#include <stdexcept>

ExtractMediaFilesThread::ExtractMediaFilesThread(PAbsLineMsgsSource source, const QString& outputFolder,
                                                 QObject* progressForm, QObject* parent)
    : JobThread(progressForm, parent), m_extractor(std::move(source), outputFolder),
      m_outputFolder(outputFolder)
{
}

JobMessage ExtractMediaFilesThread::work(JobControl& control)
{
    m_extractor.run(control);
    const QString folder = QDir::toNativeSeparators(QDir(m_outputFolder).absolutePath());
    // The copies that worked stay; the user must still learn that some attachments are missing.
    if (m_extractor.failedCount() > 0)
        throw std::runtime_error(tr("Extracted %1 attachments to %2, but %3 could not be copied.\n%4")
                                     .arg(QString::number(m_extractor.copiedCount()), folder,
                                          QString::number(m_extractor.failedCount()),
                                          m_extractor.firstFailure())
                                     .toStdString());
    QString result = tr("IDS_SUC_EXTRACT_MEDIA_FILES_TO_%1").arg(folder);
    // A run into a folder that already holds the copies says why it copied nothing.
    if (m_extractor.alreadyThereCount() > 0)
        result += QLatin1Char('\n') + tr("%1 attachments were already there and were not copied again.")
                                          .arg(m_extractor.alreadyThereCount());
    return result;
}
