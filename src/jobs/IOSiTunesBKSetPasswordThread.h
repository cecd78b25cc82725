#pragma once

#include "jobs/JobThread.h"

class BackupManifest;

// Checks a password against an encrypted backup (unlock) on this thread for the progress form.
class IOSiTunesBKSetPasswordThread : public JobThread
{
    Q_OBJECT

public:
    IOSiTunesBKSetPasswordThread(BackupManifest* manifest, const QString& password, QObject* form,
                                 QObject* parent = nullptr);

    // The result, read after the thread has finished: true when the password unlocked the backup.
    bool unlocked() const { return m_unlocked; }

protected:
    JobMessage work(JobControl& control) override;
    JobMessage describeFailure(const QString& errorText) const override;

private:
    BackupManifest* m_manifest;
    QString m_password;
    bool m_unlocked = false;
};
