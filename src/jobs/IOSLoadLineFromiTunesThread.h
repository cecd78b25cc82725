#pragma once

#include "jobs/JobThread.h"
#include "jobs/LineBackupLoader.h"

class BackupManifest;

// The load job: mirrors LINE's data out of a backup into a cache folder (LineBackupLoader) on this thread
// for the progress form. Success closes the form without a message; found() tells whether LINE's store
// is there.
class IOSLoadLineFromiTunesThread : public JobThread
{
    Q_OBJECT

public:
    // An empty cache folder means the system's temporary folder/"vantorel-itunes_cache/<backup id>".
    IOSLoadLineFromiTunesThread(BackupManifest* backup, QObject* form, const QString& cacheFolder,
                                QObject* parent = nullptr);

    void setMissingIsNotFound(bool notFound) { m_loader.setMissingIsNotFound(notFound); }

    // Read after the thread finished.
    bool found() const { return m_found; }
    QString appFolder() const { return m_loader.appFolder(); }

protected:
    JobMessage work(JobControl& control) override;

private:
    LineBackupLoader m_loader;
    bool m_found = false;
};
