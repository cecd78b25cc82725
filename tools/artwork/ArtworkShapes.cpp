#include "ArtworkShapes.h"

#include <QFont>
#include <QPainterPath>
#include <QtMath>

namespace artwork {
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

void pointer(QPainter& p, qreal s, QPointF from, QPointF to, QColor colour)
{
    const qreal angle = qAtan2(to.y() - from.y(), to.x() - from.x());
    const qreal head = s * 0.16;
    const QPointF back(to.x() - head * qCos(angle), to.y() - head * qSin(angle));
    p.setPen(QPen(colour, s * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, back);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPointF side(head * 0.7 * -qSin(angle), head * 0.7 * qCos(angle));
    p.drawPolygon(QPolygonF({to, back + side, back - side}));
}

void folder(QPainter& p, qreal s, QRectF box, QColor colour)
{
    p.setPen(QPen(kInk, s * 0.04));
    p.setBrush(colour.darker(110));
    const qreal tab = box.height() * 0.2;
    p.drawRoundedRect(QRectF(box.left(), box.top(), box.width() * 0.45, tab * 2), s * 0.03, s * 0.03);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(box.left(), box.top() + tab, box.width(), box.height() - tab), s * 0.04,
                      s * 0.04);
}

void sheet(QPainter& p, qreal s, QRectF box)
{
    const qreal fold = box.width() * 0.3;
    QPainterPath page;
    page.moveTo(box.topLeft());
    page.lineTo(box.right() - fold, box.top());
    page.lineTo(box.right(), box.top() + fold);
    page.lineTo(box.bottomRight());
    page.lineTo(box.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(kInk, s * 0.04, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), s * 0.035));
    for (qreal y = box.top() + box.height() * 0.38; y < box.bottom() - box.height() * 0.1;
         y += box.height() * 0.15)
        p.drawLine(QPointF(box.left() + box.width() * 0.18, y), QPointF(box.right() - box.width() * 0.18, y));
}

void badge(QPainter& p, qreal s, QRectF box, QColor colour, const QString& character)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(box);
    QFont font;
    font.setBold(true);
    font.setPixelSize(qRound(box.height() * 0.7));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, character);
    Q_UNUSED(s);
}

} // namespace artwork
