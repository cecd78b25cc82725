#include "IconArtwork.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {
const QColor kInk(0x33, 0x33, 0x33);
const QColor kGreen(0x06, 0xC7, 0x55);
const QColor kBlue(0x2B, 0x6C, 0xB0);
const QColor kOrange(0xE8, 0x8A, 0x1A);

using Drawing = std::function<void(QPainter&, qreal side)>;

QImage draw(int side, const Drawing& drawing)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawing(p, side);
    return image;
}

void phone(QPainter& p, qreal s, QRectF body)
{
    p.setPen(QPen(kInk, s * 0.05));
    p.setBrush(QColor(0xF4, 0xF4, 0xF4));
    p.drawRoundedRect(body, s * 0.07, s * 0.07);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(
        body.adjusted(body.width() * 0.14, body.height() * 0.1, -body.width() * 0.14, -body.height() * 0.2));
}

void cylinder(QPainter& p, qreal s, QRectF box, QColor colour)
{
    const qreal cap = box.height() * 0.22;
    p.setPen(QPen(kInk, s * 0.04));
    p.setBrush(colour);
    QPainterPath body;
    body.moveTo(box.left(), box.top() + cap / 2);
    body.lineTo(box.left(), box.bottom() - cap / 2);
    body.arcTo(QRectF(box.left(), box.bottom() - cap, box.width(), cap), 180, 180);
    body.lineTo(box.right(), box.top() + cap / 2);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(colour.lighter(130));
    p.drawEllipse(QRectF(box.left(), box.top(), box.width(), cap));
}

void person(QPainter& p, qreal s, QPointF centre, qreal size, QColor colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(centre.x(), centre.y() - size * 0.3), size * 0.22, size * 0.22);
    p.drawChord(QRectF(centre.x() - size * 0.4, centre.y() - size * 0.02, size * 0.8, size * 0.8), 0,
                180 * 16);
    Q_UNUSED(s);
}

void arrow(QPainter& p, qreal s, bool outgoing)
{
    p.setPen(Qt::NoPen);
    p.setBrush(outgoing ? kGreen : kBlue);
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.2, s * 0.88, s * 0.6), s * 0.12, s * 0.12);
    p.setPen(QPen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal y = s * 0.5;
    if (outgoing) {
        p.drawLine(QPointF(s * 0.25, y), QPointF(s * 0.72, y));
        p.drawLine(QPointF(s * 0.55, y - s * 0.14), QPointF(s * 0.72, y));
        p.drawLine(QPointF(s * 0.55, y + s * 0.14), QPointF(s * 0.72, y));
    } else {
        p.drawLine(QPointF(s * 0.28, y), QPointF(s * 0.75, y));
        p.drawLine(QPointF(s * 0.45, y - s * 0.14), QPointF(s * 0.28, y));
        p.drawLine(QPointF(s * 0.45, y + s * 0.14), QPointF(s * 0.28, y));
    }
}
} // namespace

bool drawIconArtwork(const QString& resourcesDir)
{
    const QDir dir(resourcesDir);
    dir.mkpath(QStringLiteral("res"));
    const auto save = [&](const QString& name, const QImage& image) {
        return image.save(dir.filePath(QStringLiteral("res/") + name));
    };
    bool ok = true;
    ok &= save(QStringLiteral("devices.png"), draw(64, [](QPainter& p, qreal s) {
                   phone(p, s, QRectF(s * 0.08, s * 0.16, s * 0.4, s * 0.72));
                   phone(p, s, QRectF(s * 0.52, s * 0.08, s * 0.4, s * 0.72));
               }));
    ok &= save(QStringLiteral("databases.png"), draw(64, [](QPainter& p, qreal s) {
                   cylinder(p, s, QRectF(s * 0.06, s * 0.3, s * 0.5, s * 0.62), kOrange);
                   cylinder(p, s, QRectF(s * 0.44, s * 0.08, s * 0.5, s * 0.62), kGreen);
               }));
    ok &= save(QStringLiteral("database.png"), draw(64, [](QPainter& p, qreal s) {
                   cylinder(p, s, QRectF(s * 0.18, s * 0.1, s * 0.64, s * 0.8), kGreen);
               }));
    ok &= save(QStringLiteral("contact.png"), draw(64, [](QPainter& p, qreal s) {
                   person(p, s, QPointF(s * 0.5, s * 0.48), s * 0.9, kBlue);
               }));
    ok &= save(QStringLiteral("group.png"), draw(64, [](QPainter& p, qreal s) {
                   person(p, s, QPointF(s * 0.34, s * 0.5), s * 0.62, kOrange);
                   person(p, s, QPointF(s * 0.66, s * 0.5), s * 0.62, kBlue);
               }));
    ok &= save(QStringLiteral("group2.png"), draw(64, [](QPainter& p, qreal s) {
                   person(p, s, QPointF(s * 0.22, s * 0.54), s * 0.46, kOrange);
                   person(p, s, QPointF(s * 0.78, s * 0.54), s * 0.46, kOrange);
                   person(p, s, QPointF(s * 0.5, s * 0.46), s * 0.6, kGreen);
               }));
    ok &= save(QStringLiteral("search.png"), draw(32, [](QPainter& p, qreal s) {
                   p.setPen(QPen(kInk, s * 0.1, Qt::SolidLine, Qt::RoundCap));
                   p.setBrush(Qt::NoBrush);
                   p.drawEllipse(QRectF(s * 0.14, s * 0.14, s * 0.5, s * 0.5));
                   p.drawLine(QPointF(s * 0.56, s * 0.56), QPointF(s * 0.86, s * 0.86));
               }));
    ok &=
        save(QStringLiteral("icon_sms-sent.png"), draw(32, [](QPainter& p, qreal s) { arrow(p, s, true); }));
    ok &= save(QStringLiteral("icon_sms-receive.png"),
               draw(32, [](QPainter& p, qreal s) { arrow(p, s, false); }));
    // The phone asking "Trust This Computer?", shown beside the trust prompt.
    ok &= save(QStringLiteral("trust_iphone.png"), draw(160, [](QPainter& p, qreal s) {
                   phone(p, s, QRectF(s * 0.22, s * 0.03, s * 0.56, s * 0.94));
                   p.setPen(Qt::NoPen);
                   p.setBrush(Qt::white);
                   const QRectF dialog(s * 0.3, s * 0.3, s * 0.4, s * 0.3);
                   p.drawRoundedRect(dialog, s * 0.03, s * 0.03);
                   p.setBrush(kInk);
                   p.drawRect(QRectF(s * 0.34, s * 0.35, s * 0.32, s * 0.03));
                   p.drawRect(QRectF(s * 0.38, s * 0.41, s * 0.24, s * 0.02));
                   p.setBrush(kBlue);
                   p.drawRoundedRect(QRectF(s * 0.33, s * 0.5, s * 0.15, s * 0.06), s * 0.01, s * 0.01);
                   p.setBrush(QColor(0xBB, 0xBB, 0xBB));
                   p.drawRoundedRect(QRectF(s * 0.52, s * 0.5, s * 0.15, s * 0.06), s * 0.01, s * 0.01);
               }));
    return ok;
}
