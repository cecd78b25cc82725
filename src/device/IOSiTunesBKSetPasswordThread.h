#pragma once

#include "app/JobReporter.h"

#include <QString>
#include <QThread>

class BackupManifest;

// Checks a password against an encrypted backup on a worker thread (unlock), reporting to its form.
class IOSiTunesBKSetPasswordThread : public QThread
{
    Q_OBJECT

public:
    IOSiTunesBKSetPasswordThread(BackupManifest* manifest, const QString& password, QObject* form,
                                 QObject* parent = nullptr);

    // The result, read after the thread has finished: true when the password unlocked the backup.
    bool unlocked() const { return m_unlocked; }

protected:
    void run() override;

private:
    BackupManifest* m_manifest;
    QString m_password;
    JobReporter m_form;
    bool m_unlocked = false;
};
