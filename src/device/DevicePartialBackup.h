#pragma once

#include "device/DeviceInfo.h"
#include "device/FakeBackup2ToolHook.h"
#include "device/backup2tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <memory>

class JobControl;

// Takes a partial backup of an attached iPhone into root/<udid>: the device makes a full backup, and only
// the metadata and the wanted apps' files are written (FakeBackup2ToolHook). A finished earlier backup of
// the same device and system version is kept, so the device sends only what changed; anything else in the
// folder is deleted first. A failed or cancelled run deletes the folder, so nothing incomplete is ever
// taken for a backup.
class DevicePartialBackup
{
    Q_DECLARE_TR_FUNCTIONS(DevicePartialBackup)

public:
    DevicePartialBackup(PDeviceInfo device, const QDir& root, bool keepOtherFiles,
                        std::shared_ptr<FakeBackup2ToolHook> hook = {});

    // Bundle identifiers whose containers are kept; the creator adds "jp.naver.line".
    QStringList wantedApps;

    // Throws std::runtime_error with the engine's message, JobCancelled after a cancel.
    void run(JobControl& control);

    const QDir& root() const { return m_root; }
    QDir backupFolder() const { return QDir(m_root.filePath(m_device->udid)); }
    backup2tool& engine() { return m_engine; }
    FakeBackup2ToolHook& hook() { return *m_hook; }

    // A finished backup of a device on this product version: Status.plist "finished", Manifest.plist of
    // that version, and a manifest database.
    static bool isReusable(const QDir& folder, const QString& productVersion);

private:
    PDeviceInfo m_device;
    QDir m_root;
    std::shared_ptr<FakeBackup2ToolHook> m_hook;
    backup2tool m_engine;
};
