#include "jobs/ExportMessagesThread.h"

ExportMessagesThread::ExportMessagesThread(PAbsLineMsgsSource source, const QString& outputPath, int format,
                                           QObject* form, const QString& ownerName, QObject* parent)
    : JobThread(form, parent), m_exporter(std::move(source), outputPath, format, ownerName)
{
}

JobMessage ExportMessagesThread::work(JobControl& control)
{
    m_exportedCount = 0;
    m_exportedCount = m_exporter.run(control);
    return tr("IDS_SUC_EXPORT_%1_MMS").arg(m_exportedCount);
}
