#include "export/ExportMediaFiles.h"

#include "app/CopyTarget.h"
#include "app/FileNames.h"
#include "app/NewFileCopy.h"
#include "export/ExportOutputLog.h"
#include "line/MessageType.h"

#include <QFile>
#include <QFileInfo>

ExportMediaFiles::ExportMediaFiles(const QString& folder, ExportOutputLog* log) : m_folder(folder), m_log(log)
{
    if (!m_folder.exists()) {
        if (m_log)
            m_log->makeFolder(m_folder.path());
        else
            QDir().mkpath(m_folder.path());
    }
}

ExportMediaFiles::Names ExportMediaFiles::copy(const _LineMsg& message)
{
    const QString jpg = QStringLiteral("jpg");
    switch (message.type) {
    case MessageType::Photo: {
        const QString picture = QFileInfo(message.filePath).isFile() ? message.filePath : message.thumbPath;
        const QString name = copyIntoFiles(picture, jpg);
        return {name, QFileInfo(picture).isFile() ? name : QString()};
    }
    case MessageType::Video: {
        const QString video = copyIntoFiles(message.filePath, QString());
        return {video,
                QFileInfo(message.thumbPath).isFile() ? copyIntoFiles(message.thumbPath, jpg) : QString()};
    }
    case MessageType::Voice:
    case MessageType::File:
        return {copyIntoFiles(message.filePath, QString()), QString()};
    case MessageType::Sticker: {
        const QString image = m_stickers.imagePath(message.sticker());
        return {QString(), image.isEmpty() ? QString() : copyIntoFiles(image, QStringLiteral("png"))};
    }
    default:
        return {};
    }
}

QString ExportMediaFiles::copyIntoFiles(const QString& path, const QString& defaultSuffix)
{
    QString name = QFileInfo(path).fileName();
    if (QFileInfo(name).suffix().isEmpty() && !defaultSuffix.isEmpty())
        name += QLatin1Char('.') + defaultSuffix;
    if (path.isEmpty())
        return name; // nothing to copy, and no name to make unique
    if (!QFileInfo(path).isFile())
        return QFileInfo(uniqueFileName(m_folder.filePath(name))).fileName();
    const auto known = m_copied.constFind(path);
    if (known != m_copied.cend())
        return known.value();
    const CopyTarget target = CopyTarget::find(path, m_folder.filePath(name));
    // Under a temporary name until complete, so that a killed export leaves no partial file here.
    if (!target.alreadyThere && copyToNewFile(path, target.path) && m_log)
        m_log->addFile(target.path);
    const QString copied = QFileInfo(target.path).fileName();
    m_copied.insert(path, copied);
    return copied;
}
