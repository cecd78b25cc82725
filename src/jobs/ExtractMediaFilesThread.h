#pragma once

#include "export/MediaExtractor.h"
#include "jobs/JobThread.h"

// The extraction job: runs a MediaExtractor on this thread for the progress form. Copies that failed
// are reported as an error after the others were made.
class ExtractMediaFilesThread : public JobThread
{
    Q_OBJECT

public:
    ExtractMediaFilesThread(PAbsLineMsgsSource source, const QString& outputFolder, QObject* progressForm,
                            QObject* parent = nullptr);

    // Results, readable after the thread finished.
    int copiedCount() const { return m_extractor.copiedCount(); }
    int failedCount() const { return m_extractor.failedCount(); }

protected:
    JobMessage work(JobControl& control) override;

private:
    MediaExtractor m_extractor;
    QString m_outputFolder;
};
