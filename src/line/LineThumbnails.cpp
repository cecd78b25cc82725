#include "line/LineThumbnails.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace LineThumbnails {

bool looksLikeImageData(const QByteArray& bytes)
{
    static const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    return bytes.startsWith("\xFF\xD8\xFF") || bytes.startsWith(png);
}

bool looksLikeImage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return looksLikeImageData(file.read(8));
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written beside and renamed, so no reader ever sees half a picture. Not synced to disk: a thumbnail
    // lost in a crash is simply made again, and syncing each of thousands would take minutes.
    const QString partial = path + QStringLiteral(".part");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        file.close();
        QFile::remove(partial);
        return false;
    }
    file.close();
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return false;
    }
    return true;
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
