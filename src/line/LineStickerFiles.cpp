#include "line/LineStickerFiles.h"

#include <QDir>
#include <QFileInfo>

const QString LineStickerFiles::FolderName = QStringLiteral("Sticker Resources");

LineStickerFiles LineStickerFiles::inAppFolder(const QString& appRoot, const QString& accountPrefix)
{
    return LineStickerFiles(QDir(appRoot).filePath(accountPrefix + FolderName));
}

QString LineStickerFiles::imagePath(const _LineSticker& sticker) const
{
    if (m_folder.isEmpty() || sticker.id <= 0 || sticker.package <= 0)
        return QString();
    const QString path =
        QDir(m_folder).filePath(QStringLiteral("%1/%2.png").arg(sticker.package).arg(sticker.id));
    const QFileInfo file(path);
    return file.isFile() && !file.isSymLink() ? path : QString();
}
