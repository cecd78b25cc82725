#include "export/ExportOutputLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool ExportOutputLog::makeFolder(const QString& path)
{
    QStringList missing;
    QString current = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(current)) {
        missing.prepend(current);
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            break;
        current = parent;
    }
    for (const QString& folder : std::as_const(missing)) {
        if (!QDir().mkdir(folder))
            return false;
        m_folders.append(folder);
    }
    return QFileInfo(path).isDir();
}

void ExportOutputLog::addFile(const QString& path)
{
    m_files.append(QFileInfo(path).absoluteFilePath());
}

void ExportOutputLog::rollback()
{
    for (auto it = m_files.crbegin(); it != m_files.crend(); ++it)
        QFile::remove(*it);
    // rmdir removes only empty folders: anything put there meanwhile by someone else stays, with its folder.
    for (auto it = m_folders.crbegin(); it != m_folders.crend(); ++it)
        QDir().rmdir(*it);
    clear();
}

void ExportOutputLog::clear()
{
    m_files.clear();
    m_folders.clear();
}
