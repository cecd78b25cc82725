#include "LinebbArtwork.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {
// Must match resources/linebb/style.css.
constexpr int kCorner = 14; // bubble corner piece
constexpr int kTail = 8;    // extra width of the tail column
constexpr int kMiddle = 8;  // stretchable middle of the reference drawing
constexpr int kPillCorner = 10;

const QColor kReceived(0xFF, 0xFF, 0xFF);
const QColor kSent(0x8D, 0xE0, 0x55);
const QColor kPill(0x00, 0x00, 0x00, 0x38);

// A whole bubble with its tail at the top left, drawn once and cut into nine pieces.
QImage receivedBubble(QColor color)
{
    const int width = kTail + kCorner + kMiddle + kCorner;
    const int height = kCorner + kMiddle + kCorner;
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(kTail, 0, width - kTail, height), 12, 12);
    // The tail leaves the upper left corner and curls back into the left edge.
    QPainterPath tail;
    tail.moveTo(kTail + 10, 0.5);
    tail.cubicTo(kTail + 2, 0.5, 3, 0.5, 0.5, 1.5);
    tail.cubicTo(4, 4, kTail, 8, kTail + 1, 13);
    tail.lineTo(kTail + 10, 13);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(body.united(tail));
    return image;
}

QImage pill(QColor color)
{
    const int side = 2 * kPillCorner + 4;
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(0, 0, side, side), kPillCorner, kPillCorner);
    return image;
}

// Cuts the image into a 3 x 3 grid whose outer columns and rows have the given sizes and saves the pieces
// as prefix_01.png (top left) ... prefix_09.png (bottom right).
bool saveNinePieces(const QImage& image, int left, int right, int top, int bottom, const QString& path)
{
    const int xs[] = {0, left, image.width() - right, image.width()};
    const int ys[] = {0, top, image.height() - bottom, image.height()};
    bool ok = true;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect piece(xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row]);
            ok &= image.copy(piece).save(path.arg(row * 3 + column + 1, 2, 10, QLatin1Char('0')));
        }
    }
    return ok;
}

QImage emptyPhoto()
{
    QImage image(128, 96, QImage::Format_RGB32);
    image.fill(QColor(0xE9, 0xEC, 0xEF));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB4, 0xBC, 0xC4), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(34, 22, 60, 52), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB4, 0xBC, 0xC4));
    p.drawEllipse(QPointF(50, 38), 6, 6);
    QPainterPath hills;
    hills.moveTo(37, 71);
    hills.lineTo(56, 50);
    hills.lineTo(68, 61);
    hills.lineTo(76, 54);
    hills.lineTo(91, 71);
    hills.closeSubpath();
    p.drawPath(hills);
    return image;
}

QImage voiceIcon()
{
    const int side = 64;
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x06, 0xC7, 0x55));
    p.drawEllipse(QRectF(2, 2, side - 4, side - 4));
    // a play triangle
    QPainterPath play;
    play.moveTo(25, 18);
    play.lineTo(47, 32);
    play.lineTo(25, 46);
    play.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(play);
    return image;
}
} // namespace

bool drawLinebbArtwork(const QString& linebbDir)
{
    const QDir dir(linebbDir);
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    const QImage received = receivedBubble(kReceived);
    const QImage sent = receivedBubble(kSent).mirrored(true, false);
    bool ok = true;
    ok &= saveNinePieces(received, kTail + kCorner, kCorner, kCorner, kCorner,
                         dir.filePath(QStringLiteral("bb1_%1.png")));
    ok &= saveNinePieces(sent, kCorner, kTail + kCorner, kCorner, kCorner,
                         dir.filePath(QStringLiteral("bb2_%1.png")));
    ok &= saveNinePieces(pill(kPill), kPillCorner, kPillCorner, kPillCorner, kPillCorner,
                         dir.filePath(QStringLiteral("r_%1.png")));
    ok &= emptyPhoto().save(dir.filePath(QStringLiteral("empty_photo.jpg")), "JPG", 90);
    ok &= voiceIcon().save(dir.filePath(QStringLiteral("voice.png")));
    return ok;
}
