#pragma once

#include "device/Backup2ToolHook.h"
#include "device/FakeDNameDb.h"

#include <QSet>
#include <QString>

// The partial backup store: the device makes an ordinary full backup, but only the backup's metadata and
// the files inside the wanted apps' data and group containers are written to disk; every other file is
// read and thrown away and recorded in dname.sqlite, from which the backup folder's listings are
// answered, so the device sees every file it sent and later sends only what changed.
class FakeBackup2ToolHook : public Backup2ToolHook
{
public:
    // keepOtherFiles: also keep files outside every user app's containers (system files).
    explicit FakeBackup2ToolHook(bool keepOtherFiles = false);

    bool keepOtherFiles;
    QSet<QString> wantedApps; // bundle identifiers, e.g. "jp.naver.line"
    FakeDNameDb names;

    // Whether a file is kept on disk: the metadata always; a file whose device path lies in a wanted
    // app's container; other files only with keepOtherFiles, and never those of other apps. An empty
    // devicePath is looked up in dname.sqlite.
    bool isWanted(const QString& backupPath, QString devicePath);
    // The same for a file name whose device path is known (empty: none).
    bool isWantedAt(const QString& name, const QString& devicePath) const;

    // Learns the app containers from the device (a failure keeps only the metadata) and opens
    // dname.sqlite when a finished backup is there. Throws "open dname.sqlite failed. ...".
    void begin(const QDir& root, const QString& udid) override;
    QList<Backup2DirEntry> listDirectory(const QDir& root, const QString& path) override;
    void fileIncoming(const QDir& root, const QString& udid, const QString& backupPath,
                      const QString& devicePath) override;
    int openForWrite(const QDir& root, const QString& backupPath, QFile& file, QString& errorText) override;
    void fileReceived(const QDir& root, const QString& backupPath, qint64 size) override;
    int remove(const QDir& root, const QString& path, QString& errorText) override;
    int copy(const QDir& root, const QString& from, const QString& to, QString& errorText) override;
    int makeDirectory(const QDir& root, const QString& path) override;

    // Takes the container UUIDs of the installation proxy's app dictionaries ("CFBundleIdentifier",
    // "Container", "GroupContainers").
    void learnContainers(const QList<PlistCFType>& apps);

    // The first container UUID in a device path, upper case; empty when there is none.
    static QString containerUuid(const QString& devicePath);

private:
    void openNamesOrThrow(const QString& path);

    // The decision for the file that was announced last, which is the one opened next.
    QString m_lastName;
    bool m_lastWanted = false;
};
