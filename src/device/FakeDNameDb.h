#pragma once

#include "device/Backup2DirEntry.h"
#include "storage/Sqlite3DB.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// dname.sqlite of a partial backup: one row per file the device sent, kept on disk or thrown away (its
// name, folder, device path, size, time and whether it is on disk), so that the device can be shown the
// files it sent even though the disk holds only some of them. Stays open in one transaction, committed
// when the names are closed (at the end of a backup) or the object goes: every page is written once, and
// a backup that does not finish is deleted with its folder anyway.
class FakeDNameDb : public Sqlite3DB
{
public:
    FakeDNameDb();
    ~FakeDNameDb() override;

    // Opens (or creates, with its table and index) the database at path and begins the transaction.
    // False with error set on failure; true at once when already open.
    bool openNames(const QString& path, QString* error);
    // Commits what is pending and closes.
    void closeNames();

    // Statement failures are ignored: a missing row only means the device sends that file again.
    void record(const QString& name, const QString& devicePath, bool stored, const QDateTime& time);
    void updateSize(const QString& name, qint64 size, const QDateTime& time);
    void forget(const QString& name);
    // The device path recorded for a file name, or "".
    QString deviceDirOf(const QString& name);
    // The entries of a folder of the backup: for the empty prefix one folder per recorded two-character
    // prefix plus the root files; else the files recorded under that prefix.
    QList<Backup2DirEntry> listDir(const QString& prefix);

    // The files recorded under a prefix with their device paths, in one query.
    struct Row
    {
        Backup2DirEntry entry;
        QString devicePath;
    };
    QList<Row> rowsIn(const QString& prefix);

    // The folder of a file name inside the backup: its first two characters for a file ID (32 characters
    // or more), "" for the root files.
    static QString folderOf(const QString& name);

    qint64 rowsWritten = 0;
    // Lower-case names always kept on disk: the backup's metadata and the setup assistant's preferences.
    QSet<QString> alwaysStored;
    // Container UUIDs (upper case) of each user app, and of all of them.
    QHash<QString, QSet<QString>> appContainers;
    QSet<QString> allContainers;
};
