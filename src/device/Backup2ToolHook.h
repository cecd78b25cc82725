#pragma once

#include "device/Backup2DirEntry.h"
#include "plist/PlistCFType.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

// Where the mobilebackup2 engine keeps what the device sends and finds what it asks for. Every path is a
// backup path, relative to root (it begins with the device's folder, <udid>/...), already checked by the
// engine to stay inside root. Error codes are QFileDevice::FileError values (0: done). This base class is
// a plain backup folder on disk: the restore uses it as it is; FakeBackup2ToolHook keeps only some files.
class Backup2ToolHook
{
public:
    virtual ~Backup2ToolHook();

    // Once per conversation, before the device is contacted.
    virtual void begin(const QDir& root, const QString& udid);
    // Every message of the device; false ends the conversation with resultCode and errorText.
    virtual bool onMessage(const QDir& root, const QString& udid, const PlistCFType& message, int& resultCode,
                           QString& errorText);
    // The entries of a folder (no "." and ".."), for DLContentsOfDirectory.
    virtual QList<Backup2DirEntry> listDirectory(const QDir& root, const QString& path);
    // A file is about to arrive: backupPath is where it goes, devicePath where it lives on the device.
    virtual void fileIncoming(const QDir& root, const QString& udid, const QString& backupPath,
                              const QString& devicePath);
    // Opens file (already named with the absolute path) for the arriving data, creating its folder. A
    // file left closed with result 0 is read from the device and thrown away.
    virtual int openForWrite(const QDir& root, const QString& backupPath, QFile& file, QString& errorText);
    // The file's last block arrived; size is the data received.
    virtual void fileReceived(const QDir& root, const QString& backupPath, qint64 size);
    virtual int move(const QDir& root, const QString& from, const QString& to, QString& errorText);
    virtual int remove(const QDir& root, const QString& path, QString& errorText);
    virtual int copy(const QDir& root, const QString& from, const QString& to, QString& errorText);
    virtual int makeDirectory(const QDir& root, const QString& path);

protected:
    // Deletes a file, or a folder with everything in it (links are removed, never followed).
    static bool removePath(const QString& absolutePath);
};
