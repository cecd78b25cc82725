#include "export/ExportPdfFile.h"

#include "app/PartFiles.h"
#include "platform/FileSync.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {
std::runtime_error failure(const QString& path, const QString& reason)
{
    return std::runtime_error(
        QStringLiteral("%1. %2").arg(QDir::toNativeSeparators(path), reason).toStdString());
}
} // namespace

ExportPdfFile::ExportPdfFile(const QString& target) : m_target(target)
{
}

ExportPdfFile::~ExportPdfFile()
{
    m_file.close();
    if (!m_committed && !m_temporary.isEmpty())
        QFile::remove(m_temporary);
}

QFile& ExportPdfFile::open()
{
    // Beside the target, so that the final rename stays on one file system.
    QTemporaryFile temporary(PartFiles::templateFor(m_target));
    temporary.setAutoRemove(false);
    if (!temporary.open())
        throw failure(m_target, temporary.errorString());
    m_temporary = temporary.fileName();
    temporary.close();
    QFile::setPermissions(m_temporary, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    m_file.setFileName(m_temporary);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        throw failure(m_target, m_file.errorString());
    return m_file;
}

void ExportPdfFile::finish()
{
    const bool written = m_file.error() == QFileDevice::NoError && m_file.flush() && syncFileToDisk(m_file);
    const QString error = m_file.errorString();
    m_file.close();
    if (!written)
        throw failure(m_target, error);
}

void ExportPdfFile::commit()
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(m_temporary.toStdU16String()),
                            std::filesystem::path(m_target.toStdU16String()), error);
    if (error)
        throw failure(m_target, QString::fromStdString(error.message()));
    m_committed = true;
}
