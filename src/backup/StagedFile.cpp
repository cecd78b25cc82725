#include "backup/StagedFile.h"

#include "backup/BackupFileOps.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

StagedFile::StagedFile(const QString& destination, bool syncToDisk)
    : m_destination(destination), m_syncToDisk(syncToDisk)
{
}

StagedFile::~StagedFile()
{
    if (m_committed)
        return;
    if (m_saveFile)
        m_saveFile->cancelWriting();
    if (m_temporary) {
        m_temporary->close();
        m_temporary->remove();
    }
}

bool StagedFile::open()
{
    QDir().mkpath(QFileInfo(m_destination).absolutePath());
    if (m_syncToDisk) {
        m_saveFile = std::make_unique<QSaveFile>(m_destination);
        return m_saveFile->open(QIODevice::WriteOnly);
    }
    m_temporary = std::make_unique<QFile>(BackupFileOps::temporaryPathFor(m_destination));
    return m_temporary->open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

QIODevice& StagedFile::device()
{
    if (m_saveFile)
        return *m_saveFile;
    return *m_temporary;
}

QString StagedFile::errorString() const
{
    if (m_saveFile)
        return m_saveFile->errorString();
    return m_temporary ? m_temporary->errorString() : QString();
}

void StagedFile::commit()
{
    QFileDevice& file = m_saveFile ? static_cast<QFileDevice&>(*m_saveFile) : *m_temporary;
    auto fail = [&](const QString& reason) {
        throw std::runtime_error(
            QStringLiteral("write %1 failed. %2").arg(m_destination, reason).toStdString());
    };
    if (!file.flush())
        fail(file.errorString());
    if (m_fileTime.isValid()) {
        // After the flush, so no later write moves the time again; a rename keeps it.
        file.setFileTime(m_fileTime, QFileDevice::FileModificationTime);
        file.setFileTime(m_fileTime, QFileDevice::FileAccessTime);
    }
    if (m_saveFile) {
        if (!m_saveFile->commit())
            fail(m_saveFile->errorString());
    } else {
        m_temporary->close();
        if (m_temporary->error() != QFileDevice::NoError)
            fail(m_temporary->errorString());
        BackupFileOps::replaceFile(m_temporary->fileName(), m_destination);
    }
    m_committed = true;
}
