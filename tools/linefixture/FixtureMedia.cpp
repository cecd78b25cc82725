#include "FixtureMedia.h"

#include "FixtureRandom.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <stdexcept>

namespace FixtureMedia {
namespace {

QImage picture(int width, int height, quint64 colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    const QColor base(int(colour & 0xff), int((colour >> 8) & 0xff), int((colour >> 16) & 0xff));
    image.fill(base);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, base.darker(150));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, base.lighter(150));
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, 80))
        throw std::runtime_error(std::string("cannot encode a fixture image as ") + format);
    return bytes;
}

} // namespace

QByteArray jpeg(int width, int height, quint64 colour)
{
    return encoded(picture(width, height, colour), "JPEG");
}

QByteArray png(int width, int height, quint64 colour)
{
    return encoded(picture(width, height, colour), "PNG");
}

QByteArray mpeg4(const char* brand, int size, quint64 seed)
{
    QByteArray bytes("\x00\x00\x00\x18"
                     "ftyp",
                     8);
    bytes += QByteArray(brand).leftJustified(4, ' ', true);
    bytes += QByteArray("\x00\x00\x00\x00", 4);
    bytes += QByteArray(brand).leftJustified(4, ' ', true) + QByteArray("isom");
    FixtureRandom random(seed);
    while (bytes.size() < size)
        bytes += char(random.below(256));
    return bytes;
}

} // namespace FixtureMedia
