#include "device/FakeDNameDb.h"

#include <QFileInfo>
#include <exception>

FakeDNameDb::FakeDNameDb()
    : alwaysStored({QStringLiteral("info.plist"), QStringLiteral("status.plist"),
                    QStringLiteral("manifest.mbdb"), QStringLiteral("manifest.mbdx"),
                    QStringLiteral("manifest.db"), QStringLiteral("manifest.plist"),
                    QStringLiteral("80fa782261261e54bb73c0253e5b6beefb6a2f39")})
{
}

FakeDNameDb::~FakeDNameDb()
{
    closeNames();
}

bool FakeDNameDb::openNames(const QString& path, QString* error)
{
    if (isOpen())
        return true;
    try {
        const bool existed = QFileInfo::exists(path);
        openFile(path, existed ? OpenReadWrite : OpenReadWriteCreate);
        // Names arrive in random order: the pages they touch stay in memory until the next commit
        // writes each of them once.
        execute("pragma cache_size=-16384");
        if (!existed) {
            // Keyed by the name alone (no row id, no second index: a folder's files are a range of names),
            // so that tens of thousands of thrown-away files cost as few bytes on disk as they can.
            execute("create table dname(f VARCHAR PRIMARY KEY, p VARCHAR, d VARCHAR, size INTEGER, "
                    "lastm INTEGER, incl INTEGER) without rowid");
        } else {
            // A file that is not our table fails here instead of at every statement.
            queryInt64("select count(*) from dname where f=''");
        }
        beginTran();
    } catch (const std::exception& failure) {
        if (error)
            *error = QString::fromUtf8(failure.what());
        close();
        return false;
    }
    return true;
}

void FakeDNameDb::closeNames()
{
    if (!isOpen())
        return;
    try {
        if (inTransaction())
            commitTran();
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: commit failed: %s", failure.what());
    }
    close();
}

QString FakeDNameDb::folderOf(const QString& name)
{
    return name.size() >= 32 ? name.left(2) : QString();
}

void FakeDNameDb::record(const QString& name, const QString& devicePath, bool stored, const QDateTime& time)
{
    try {
        execute(Sqlite3Sql("replace into dname(f,p,d,size,lastm,incl) values(?,?,?,?,?,?)")
                    .addTextParam(name)
                    .addTextParam(folderOf(name))
                    .addTextParam(devicePath)
                    .addInt64Param(0)
                    .addInt64Param(time.toSecsSinceEpoch())
                    .addIntParam(stored ? 1 : 0));
        ++rowsWritten;
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: recording %s failed: %s", qUtf8Printable(name), failure.what());
    }
}

void FakeDNameDb::updateSize(const QString& name, qint64 size, const QDateTime& time)
{
    try {
        execute(Sqlite3Sql("update dname set size=?, lastm=? where f=?")
                    .addInt64Param(size)
                    .addInt64Param(time.toSecsSinceEpoch())
                    .addTextParam(name));
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: size of %s not kept: %s", qUtf8Printable(name), failure.what());
    }
}

void FakeDNameDb::forget(const QString& name)
{
    try {
        execute(Sqlite3Sql("delete from dname where f=?").addTextParam(name));
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: %s not removed: %s", qUtf8Printable(name), failure.what());
    }
}

QString FakeDNameDb::deviceDirOf(const QString& name)
{
    if (!isOpen())
        return {};
    try {
        Sqlite3Cursor rows = query(Sqlite3Sql("select d from dname where f=?").addTextParam(name));
        if (rows.moveNext())
            return rows.textAt(0);
    } catch (const std::exception&) {
    }
    return {};
}

QList<Backup2DirEntry> FakeDNameDb::listDir(const QString& prefix)
{
    QList<Backup2DirEntry> entries;
    if (!isOpen())
        return entries;
    try {
        if (prefix.isEmpty()) {
            Sqlite3Cursor folders = query("select p, max(lastm) as lastm from dname group by p");
            while (folders.moveNext()) {
                const QString folder = folders.textAt(0);
                if (folder.isEmpty())
                    continue;
                Backup2DirEntry entry;
                entry.name = folder;
                entry.type = Backup2DirEntry::Directory;
                entry.mtime = QDateTime::fromSecsSinceEpoch(folders.int64At(1));
                entries.append(entry);
            }
        }
        for (const Row& row : rowsIn(prefix))
            entries.append(row.entry);
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: listing %s failed: %s", qUtf8Printable(prefix), failure.what());
        return {};
    }
    return entries;
}

QList<FakeDNameDb::Row> FakeDNameDb::rowsIn(const QString& prefix)
{
    QList<Row> rows;
    if (!isOpen())
        return rows;
    try {
        // A folder's files are the names that begin with its two characters.
        QString upper = prefix;
        if (!upper.isEmpty())
            upper.back() = QChar(upper.back().unicode() + 1);
        Sqlite3Cursor files =
            prefix.isEmpty()
                ? query(Sqlite3Sql("select f, size, lastm, d from dname where p=''"))
                : query(Sqlite3Sql("select f, size, lastm, d from dname where f>=? and f<? and p=?")
                            .addTextParam(prefix)
                            .addTextParam(upper)
                            .addTextParam(prefix));
        while (files.moveNext()) {
            Row row;
            row.entry.name = files.textAt(0);
            row.entry.type = Backup2DirEntry::File;
            row.entry.size = files.int64At(1);
            row.entry.mtime = QDateTime::fromSecsSinceEpoch(files.int64At(2));
            row.devicePath = files.textAt(3);
            rows.append(row);
        }
    } catch (const std::exception& failure) {
        qWarning("dname.sqlite: listing %s failed: %s", qUtf8Printable(prefix), failure.what());
        return {};
    }
    return rows;
}
