#pragma once

#include <QString>

// File operations that never leave a half-written file under a final name.
namespace BackupFileOps {

// A fresh name in path's folder for writing what will replace path.
QString temporaryPathFor(const QString& path);

// Renames source over destination in one step (replacing it). Throws std::runtime_error on failure.
void replaceFile(const QString& source, const QString& destination);

// A consistent copy of an SQLite database (through SQLite's backup interface, so a journal or WAL file
// beside the source is taken into account). Throws on failure; the destination is created or replaced.
// Errors name shownDestination when given (the user's file, when destination is a temporary one).
void copyDatabase(const QString& source, const QString& destination,
                  const QString& shownDestination = QString());

// Removes a temporary file when it goes out of scope, unless released.
class TemporaryFile
{
public:
    explicit TemporaryFile(QString path) : m_path(std::move(path)) {}
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const QString& path() const { return m_path; }
    void release() { m_path.clear(); }

private:
    QString m_path;
};

} // namespace BackupFileOps
