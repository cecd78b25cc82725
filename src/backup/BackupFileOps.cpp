#include "backup/BackupFileOps.h"

#include "storage/Sqlite3DB.h"
#include "storage/Sqlite3Error.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace BackupFileOps {

QString temporaryPathFor(const QString& path)
{
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(12);
    return path + QStringLiteral(".") + tag + QStringLiteral(".tmp");
}

void replaceFile(const QString& source, const QString& destination)
{
    std::error_code error;
    // std::filesystem::rename replaces an existing file in one step on every platform.
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(destination.toStdU16String()), error);
    if (error)
        throw std::runtime_error(QStringLiteral("cannot replace %1. %2")
                                     .arg(destination, QString::fromLocal8Bit(error.message()))
                                     .toStdString());
}

void copyDatabase(const QString& source, const QString& destination, const QString& shownDestination)
{
    if (!QFileInfo(source).isFile())
        throw std::runtime_error(
            QStringLiteral("cannot open %1. The file does not exist.").arg(source).toStdString());
    QFile::remove(destination);
    Sqlite3DB from;
    from.openFile(source, Sqlite3DB::OpenReadOnly);
    Sqlite3DB to;
    to.openFile(destination, Sqlite3DB::OpenReadWriteCreate, shownDestination);
    try {
        from.copyInto(to);
    } catch (const Sqlite3Error& error) {
        to.close();
        QFile::remove(destination);
        throw std::runtime_error(
            QStringLiteral("cannot copy %1. %2").arg(source, QString::fromUtf8(error.what())).toStdString());
    }
}

TemporaryFile::~TemporaryFile()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

} // namespace BackupFileOps
