#include "line/LineThumbnails.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

namespace LineThumbnails {

bool looksLikeImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    static const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    return head.startsWith("\xFF\xD8\xFF") || head == png;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

bool makeFromPicture(const QString& picturePath, const QString& thumbPath, int side)
{
    QImage picture;
    for (const char* format : {"JPEG", "PNG"}) {
        QImageReader reader(picturePath, format);
        if (reader.read(&picture))
            break;
    }
    if (picture.isNull() || side <= 0)
        return false;
    const QImage scaled = picture.width() > picture.height()
                              ? picture.scaledToWidth(side, Qt::FastTransformation)
                              : picture.scaledToHeight(side, Qt::FastTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!scaled.save(&buffer, "JPEG"))
        return false;
    return writeFile(thumbPath, bytes);
}

} // namespace LineThumbnails
