#include "backup/ManifestDatabase.h"

std::optional<QByteArray> ManifestDatabase::descriptionSalt()
{
    if (queryInt64("select 1 from sqlite_master where type='table' and name='Properties'", 0) != 1)
        return std::nullopt;
    Sqlite3Cursor cursor = query("select * from Properties where key='salt' limit 1");
    if (!cursor.moveNext())
        return std::nullopt;
    return cursor.getBlob(QStringLiteral("value"));
}

Sqlite3Cursor ManifestDatabase::queryFiles()
{
    return query("select domain, relativePath, file from Files");
}

void ManifestDatabase::updateFile(const FileRow& row)
{
    execute(Sqlite3Sql("update Files set file=?,domain=?,relativePath=?,flags=? where fileID=?")
                .addParam(row.file)
                .addTextBytesParam(row.domain)
                .addTextBytesParam(row.relativePath)
                .addIntParam(row.flags)
                .addTextParam(row.fileId));
}

void ManifestDatabase::insertFile(const FileRow& row)
{
    execute(Sqlite3Sql("replace into Files(fileID,domain,relativePath,flags,file) values(?,?,?,?,?)")
                .addTextParam(row.fileId)
                .addTextBytesParam(row.domain)
                .addTextBytesParam(row.relativePath)
                .addIntParam(row.flags)
                .addParam(row.file));
}

void ManifestDatabase::removeFile(const QString& fileId)
{
    execute(Sqlite3Sql("delete from Files where fileID=?").addTextParam(fileId));
}

void ManifestDatabase::removeFilesNotKept(const KeepFile& keep)
{
    addFunction(QStringLiteral("fvalid"), 3, [keep](const Sqlite3FunctionArgs& args) {
        const bool kept = keep(args.text(0), args.isNull(0), args.text(1), args.isNull(1), args.int64(2));
        return Sqlite3Param{qint64(kept ? 1 : 0)};
    });
    execute("delete from files where not fvalid(fileid, domain, flags)");
}

void ManifestDatabase::vacuum()
{
    execute("vacuum");
}
