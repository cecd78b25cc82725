#pragma once

#include "device/DeviceInfo.h"
#include "device/backup2tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

class JobControl;

// Restores the backup folder root/<udid> onto the attached device with the plain-folder hook. A device
// that cannot read the backup ("MBErrorDomain/205") makes a partial backup the program took itself (it
// holds dname.sqlite) be deleted, so the next attempt starts from a fresh one; other folders are never
// deleted.
class DeviceRestore
{
    Q_DECLARE_TR_FUNCTIONS(DeviceRestore)

public:
    DeviceRestore(PDeviceInfo device, const QDir& root, bool compact);

    void setPassword(const QString& password) { m_password = password; }
    void setManifestDbSubstitute(const QString& name) { m_manifestDbSubstitute = name; }
    void setRestoreSystemFiles(bool restore) { m_restoreSystemFiles = restore; }

    // The options the request carries.
    Backup2Options options() const;

    // Throws std::runtime_error with the engine's message, JobCancelled after a cancel.
    void run(JobControl& control);

    backup2tool& engine() { return m_engine; }
    QDir backupFolder() const { return QDir(m_root.filePath(m_device->udid)); }

private:
    PDeviceInfo m_device;
    QDir m_root;
    bool m_compact;
    bool m_restoreSystemFiles = true;
    QString m_password;
    QString m_manifestDbSubstitute;
    backup2tool m_engine;
};
