#include "IconArtwork.h"
#include "ArtworkShapes.h"

#include <QDir>

using namespace artwork;

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
