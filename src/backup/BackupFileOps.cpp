#include "backup/BackupFileOps.h"

#include "storage/Sqlite3DB.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>
#include <sqlite3.h>
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
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup)
        throw std::runtime_error(QStringLiteral("cannot copy %1. %2")
                                     .arg(source, QString::fromUtf8(sqlite3_errmsg(to.handle())))
                                     .toStdString());
    const int stepResult = sqlite3_backup_step(backup, -1);
    const int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK) {
        const QString message =
            QString::fromUtf8(sqlite3_errstr(stepResult != SQLITE_DONE ? stepResult : finishResult));
        to.close();
        QFile::remove(destination);
        throw std::runtime_error(QStringLiteral("cannot copy %1. %2").arg(source, message).toStdString());
    }
}

TemporaryFile::~TemporaryFile()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

} // namespace BackupFileOps
