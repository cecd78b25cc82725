#pragma once

#include "export/MessageExporter.h"
#include "jobs/JobThread.h"

// The export job: runs a MessageExporter on this thread for the progress form.
class ExportMessagesThread : public JobThread
{
    Q_OBJECT

public:
    ExportMessagesThread(PAbsLineMsgsSource source, const QString& outputPath, int format, QObject* form,
                         const QString& ownerName, QObject* parent = nullptr);

    // How many files of a folder export (one per chat) may be open at once; set before start().
    void setOpenFileLimit(int limit) { m_exporter.setOpenFileLimit(limit); }
    // Paging and images of web pages; set before start().
    void setOptions(const ExportOptions& options) { m_exporter.setOptions(options); }

    // Read after the thread finished.
    qint64 exportedCount() const { return m_exportedCount; }
    int mostFilesOpen() const { return m_exporter.mostFilesOpen(); }

protected:
    JobMessage work(JobControl& control) override;

private:
    MessageExporter m_exporter;
    qint64 m_exportedCount = 0;
};
