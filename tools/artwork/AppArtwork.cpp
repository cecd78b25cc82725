#include "AppArtwork.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kLineGreen(0x06, 0xC7, 0x55);
const QColor kDeepGreen(0x03, 0x8C, 0x3E);

QImage background(QSize size, QColor top, QColor bottom)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(image.rect(), gradient);
    // faint diagonal texture so large areas do not look flat
    p.setPen(QColor(255, 255, 255, 10));
    for (int x = -size.height(); x < size.width(); x += 14)
        p.drawLine(x, 0, x + size.height(), size.height());
    return image;
}

QImage appPicture(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, side);
    gradient.setColorAt(0, kLineGreen);
    gradient.setColorAt(1, kDeepGreen);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(0, 0, side, side), side * 0.22, side * 0.22);
    // speech bubble
    QPainterPath bubble;
    const QRectF body(side * 0.16, side * 0.2, side * 0.68, side * 0.48);
    bubble.addRoundedRect(body, side * 0.2, side * 0.2);
    QPainterPath tail;
    tail.moveTo(side * 0.36, side * 0.62);
    tail.lineTo(side * 0.3, side * 0.8);
    tail.lineTo(side * 0.5, side * 0.66);
    bubble = bubble.united(tail);
    p.setBrush(Qt::white);
    p.drawPath(bubble);
    // a downward arrow into a tray: the history is saved
    p.setPen(QPen(kDeepGreen, side * 0.055, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal cx = side * 0.5;
    p.drawLine(QPointF(cx, side * 0.28), QPointF(cx, side * 0.52));
    p.drawLine(QPointF(cx - side * 0.09, side * 0.43), QPointF(cx, side * 0.52));
    p.drawLine(QPointF(cx + side * 0.09, side * 0.43), QPointF(cx, side * 0.52));
    p.drawLine(QPointF(side * 0.34, side * 0.58), QPointF(side * 0.66, side * 0.58));
    return image;
}

QImage phoneIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(side * 0.25, side * 0.06, side * 0.5, side * 0.88);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), side * 0.06));
    p.setBrush(QColor(0xF4, 0xF4, 0xF4));
    p.drawRoundedRect(body, side * 0.09, side * 0.09);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x6C, 0xB0));
    p.drawRect(QRectF(side * 0.31, side * 0.16, side * 0.38, side * 0.6));
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawEllipse(QPointF(side * 0.5, side * 0.855), side * 0.04, side * 0.04);
    return image;
}

QImage infoIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x8A, 0xE6));
    p.drawEllipse(QRectF(side * 0.04, side * 0.04, side * 0.92, side * 0.92));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(side * 0.5, side * 0.28), side * 0.075, side * 0.075);
    p.drawRoundedRect(QRectF(side * 0.43, side * 0.42, side * 0.14, side * 0.38), side * 0.05, side * 0.05);
    return image;
}
} // namespace

bool drawAppArtwork(const QString& resourcesDir)
{
    const QDir dir(resourcesDir);
    dir.mkpath(QStringLiteral("images"));
    dir.mkpath(QStringLiteral("res"));
    dir.mkpath(QStringLiteral("tipsutil_res"));
    bool ok = true;
    ok &= background(QSize(1024, 700), QColor(0xF7, 0xFA, 0xF8), QColor(0xE3, 0xEE, 0xE7))
              .save(dir.filePath(QStringLiteral("images/main_bg.jpg")), "JPG", 90);
    ok &= background(QSize(480, 320), QColor(0xFF, 0xFF, 0xFF), QColor(0xEC, 0xF3, 0xEE))
              .save(dir.filePath(QStringLiteral("images/sub_bg.jpg")), "JPG", 90);
    ok &= appPicture(256).save(dir.filePath(QStringLiteral("images/main.png")));
    ok &= phoneIcon(64).save(dir.filePath(QStringLiteral("res/iphone.png")));
    ok &= infoIcon(64).save(dir.filePath(QStringLiteral("tipsutil_res/icon_info.png")));
    // The desktop's application icons, one per size of the hicolor theme, each drawn at its own size.
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(side);
        dir.mkpath(folder);
        ok &= appPicture(side).save(dir.filePath(folder + QStringLiteral("/com.vantorel.Ferrowyn.png")));
    }
    return ok;
}
