#include "export/PrintPhoto.h"

#include "app/AssetDir.h"

#include <QDir>
#include <QImageReader>

namespace {
constexpr int kLargest = 200;
// Larger thumbnails are read scaled down, so a damaged or hostile file cannot claim much memory.
constexpr int kLargestRead = 4096;

QImage readAs(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kLargestRead || size.height() > kLargestRead))
        reader.setScaledSize(size.scaled(kLargestRead, kLargestRead, Qt::KeepAspectRatio));
    return reader.read();
}
} // namespace

QImage scaledForPrint(const QImage& picture)
{
    if (picture.width() > picture.height() && picture.width() > kLargest)
        return picture.scaledToWidth(kLargest, Qt::SmoothTransformation);
    if (picture.height() > kLargest)
        return picture.scaledToHeight(kLargest, Qt::SmoothTransformation);
    return picture;
}

QImage printPhoto(const QString& thumbPath)
{
    QImage picture;
    if (!thumbPath.isEmpty()) {
        picture = readAs(thumbPath, "jpeg");
        if (picture.isNull())
            picture = readAs(thumbPath, "png");
    }
    if (picture.isNull())
        picture.load(QDir(linebbDir()).filePath(QStringLiteral("empty_photo.jpg")));
    return scaledForPrint(picture);
}
