#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <functional>

// Shapes and colours shared by the generated pictures, so the icons of one window look alike.
namespace artwork {

inline const QColor kInk(0x33, 0x33, 0x33);
inline const QColor kGreen(0x06, 0xC7, 0x55);
inline const QColor kBlue(0x2B, 0x6C, 0xB0);
inline const QColor kOrange(0xE8, 0x8A, 0x1A);
inline const QColor kRed(0xD0, 0x3B, 0x3B);

using Drawing = std::function<void(QPainter&, qreal side)>;

// A transparent square picture of side pixels, drawn antialiased.
QImage draw(int side, const Drawing& drawing);
// A phone with its screen, filling body.
void phone(QPainter& p, qreal s, QRectF body);
// A database drum filling box.
void cylinder(QPainter& p, qreal s, QRectF box, QColor colour);
// Head and shoulders of a person around centre.
void person(QPainter& p, qreal s, QPointF centre, qreal size, QColor colour);
// A message-direction badge: a rounded box with an arrow pointing out or in.
void arrow(QPainter& p, qreal s, bool outgoing);
// A bold arrow from one point to another, its head at to.
void pointer(QPainter& p, qreal s, QPointF from, QPointF to, QColor colour);
// A folder filling box.
void folder(QPainter& p, qreal s, QRectF box, QColor colour);
// A sheet of paper with a folded corner and text lines, filling box.
void sheet(QPainter& p, qreal s, QRectF box);
// A filled circle with one white character in it.
void badge(QPainter& p, qreal s, QRectF box, QColor colour, const QString& character);

} // namespace artwork
