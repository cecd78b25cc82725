#pragma once

#include "storage/Sqlite3DB.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// A backup's plaintext Manifest.db: the file records in "Files" and, in an encrypted backup, the salt of
// the file-description key in "Properties".
class ManifestDatabase : public Sqlite3DB
{
public:
    // The "salt" row of Properties; nullopt when the table or the row is missing.
    std::optional<QByteArray> descriptionSalt();

    // Every file record with the columns "domain", "relativePath" and "file".
    Sqlite3Cursor queryFiles();

    // A Files row. file is the record's description: a keyed archive as a blob, or Base64 text of the
    // encrypted archive.
    struct FileRow
    {
        QString fileId;
        QByteArray domain;
        QByteArray relativePath;
        int flags = 0;
        Sqlite3Param file;
    };
    void updateFile(const FileRow& row);
    // Adds the row, replacing a row with the same fileID.
    void insertFile(const FileRow& row);
    void removeFile(const QString& fileId);

    // Decides from a row's fileID, domain (each with whether it is NULL) and flags whether the row stays.
    using KeepFile = std::function<bool(const QString& fileId, bool fileIdIsNull, const QString& domain,
                                        bool domainIsNull, qint64 flags)>;
    // Deletes every row keep refuses.
    void removeFilesNotKept(const KeepFile& keep);
    // Rewrites the file without the space of deleted rows.
    void vacuum();
};
