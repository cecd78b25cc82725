#include "ToolbarArtwork.h"
#include "ArtworkShapes.h"

#include <QDir>

using namespace artwork;

namespace {

// A small drum for "a local database" beside an arrow.
QRectF smallDrum(qreal s, qreal x, qreal y)
{
    return QRectF(s * x, s * y, s * 0.36, s * 0.5);
}

// The classic eject mark: a triangle over a bar.
void eject(QPainter& p, qreal s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(
        QPolygonF({QPointF(s * 0.5, s * 0.14), QPointF(s * 0.86, s * 0.56), QPointF(s * 0.14, s * 0.56)}));
    p.drawRoundedRect(QRectF(s * 0.14, s * 0.68, s * 0.72, s * 0.14), s * 0.03, s * 0.03);
}

} // namespace

bool drawToolbarArtwork(const QString& resourcesDir)
{
    const QDir dir(resourcesDir);
    dir.mkpath(QStringLiteral("res"));
    bool ok = true;
    const auto save = [&](const char* name, const Drawing& drawing) {
        ok &= draw(64, drawing).save(dir.filePath(QStringLiteral("res/") + QLatin1String(name)));
    };
    // Back up into a local database: messages going down into a drum.
    save("backup.png", [](QPainter& p, qreal s) {
        cylinder(p, s, QRectF(s * 0.2, s * 0.4, s * 0.6, s * 0.54), kGreen);
        pointer(p, s, QPointF(s * 0.5, s * 0.02), QPointF(s * 0.5, s * 0.42), kBlue);
    });
    // Transfer a local database to an iPhone.
    save("db2i.png", [](QPainter& p, qreal s) {
        cylinder(p, s, smallDrum(s, 0.02, 0.3), kGreen);
        pointer(p, s, QPointF(s * 0.36, s * 0.55), QPointF(s * 0.64, s * 0.55), kOrange);
        phone(p, s, QRectF(s * 0.66, s * 0.2, s * 0.32, s * 0.66));
    });
    // Transfer from one iPhone to another.
    save("i2i.png", [](QPainter& p, qreal s) {
        phone(p, s, QRectF(s * 0.02, s * 0.2, s * 0.32, s * 0.66));
        pointer(p, s, QPointF(s * 0.36, s * 0.53), QPointF(s * 0.64, s * 0.53), kOrange);
        phone(p, s, QRectF(s * 0.66, s * 0.2, s * 0.32, s * 0.66));
    });
    save("delete.png", [](QPainter& p, qreal s) {
        p.setPen(QPen(kRed, s * 0.16, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.2, s * 0.2), QPointF(s * 0.8, s * 0.8));
        p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.2, s * 0.8));
    });
    save("exit.png", [](QPainter& p, qreal s) {
        p.setPen(QPen(kInk, s * 0.06));
        p.setBrush(QColor(0xC8, 0x9B, 0x6B));
        p.drawRect(QRectF(s * 0.1, s * 0.08, s * 0.46, s * 0.84));
        pointer(p, s, QPointF(s * 0.36, s * 0.5), QPointF(s * 0.94, s * 0.5), kRed);
    });
    // Export messages: a document with an arrow leaving it.
    save("export.png", [](QPainter& p, qreal s) {
        sheet(p, s, QRectF(s * 0.1, s * 0.06, s * 0.56, s * 0.82));
        pointer(p, s, QPointF(s * 0.4, s * 0.7), QPointF(s * 0.96, s * 0.7), kGreen);
    });
    // Extract attachments: a picture with an arrow leaving it.
    save("extract_media.png", [](QPainter& p, qreal s) {
        p.setPen(QPen(kInk, s * 0.04));
        p.setBrush(QColor(0xDD, 0xEE, 0xFF));
        p.drawRect(QRectF(s * 0.06, s * 0.12, s * 0.66, s * 0.56));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF(
            {QPointF(s * 0.1, s * 0.64), QPointF(s * 0.32, s * 0.34), QPointF(s * 0.54, s * 0.64)}));
        p.setBrush(kOrange);
        p.drawEllipse(QPointF(s * 0.56, s * 0.28), s * 0.07, s * 0.07);
        pointer(p, s, QPointF(s * 0.44, s * 0.82), QPointF(s * 0.96, s * 0.82), kBlue);
    });
    // Import an iTunes backup: a folder with an arrow going in.
    save("load_itunes.png", [](QPainter& p, qreal s) {
        folder(p, s, QRectF(s * 0.06, s * 0.36, s * 0.88, s * 0.58), QColor(0xF2, 0xC1, 0x4E));
        pointer(p, s, QPointF(s * 0.5, s * 0.0), QPointF(s * 0.5, s * 0.62), kBlue);
    });
    save("open_db_folder.png", [](QPainter& p, qreal s) {
        folder(p, s, QRectF(s * 0.04, s * 0.16, s * 0.92, s * 0.7), QColor(0xF2, 0xC1, 0x4E));
        cylinder(p, s, QRectF(s * 0.36, s * 0.42, s * 0.28, s * 0.38), kGreen);
    });
    save("print.png", [](QPainter& p, qreal s) {
        sheet(p, s, QRectF(s * 0.26, s * 0.04, s * 0.48, s * 0.44));
        p.setPen(QPen(kInk, s * 0.04));
        p.setBrush(QColor(0x88, 0x88, 0x88));
        p.drawRoundedRect(QRectF(s * 0.06, s * 0.38, s * 0.88, s * 0.36), s * 0.06, s * 0.06);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.24, s * 0.62, s * 0.52, s * 0.32));
    });
    save("unmount.png", [](QPainter& p, qreal s) { eject(p, s); });
    // The program's cache folder opened: a folder with a phone in it.
    save("view-cache.png", [](QPainter& p, qreal s) {
        folder(p, s, QRectF(s * 0.04, s * 0.16, s * 0.92, s * 0.7), QColor(0xF2, 0xC1, 0x4E));
        phone(p, s, QRectF(s * 0.38, s * 0.36, s * 0.24, s * 0.44));
    });
    // Clearing the cache: the folder crossed out.
    save("clear-cache.png", [](QPainter& p, qreal s) {
        folder(p, s, QRectF(s * 0.04, s * 0.16, s * 0.8, s * 0.62), QColor(0xF2, 0xC1, 0x4E));
        p.setPen(QPen(kRed, s * 0.12, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.56, s * 0.56), QPointF(s * 0.9, s * 0.9));
        p.drawLine(QPointF(s * 0.9, s * 0.56), QPointF(s * 0.56, s * 0.9));
    });
    // Looking for a newer version: a circling arrow.
    save("check-update.png", [](QPainter& p, qreal s) {
        p.setPen(QPen(kGreen, s * 0.12, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(s * 0.16, s * 0.16, s * 0.68, s * 0.68), 100 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF(
            {QPointF(s * 0.42, s * 0.02), QPointF(s * 0.64, s * 0.17), QPointF(s * 0.42, s * 0.32)}));
    });
    save("about.png", [](QPainter& p, qreal s) {
        badge(p, s, QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), kBlue, QStringLiteral("i"));
    });
    save("help.png", [](QPainter& p, qreal s) {
        badge(p, s, QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), kGreen, QStringLiteral("?"));
    });
    save("feedback.png", [](QPainter& p, qreal s) {
        p.setPen(QPen(kInk, s * 0.04));
        p.setBrush(kGreen);
        p.drawRoundedRect(QRectF(s * 0.06, s * 0.1, s * 0.88, s * 0.6), s * 0.16, s * 0.16);
        p.drawPolygon(QPolygonF(
            {QPointF(s * 0.24, s * 0.66), QPointF(s * 0.2, s * 0.92), QPointF(s * 0.44, s * 0.68)}));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (const qreal x : {0.3, 0.5, 0.7})
            p.drawEllipse(QPointF(s * x, s * 0.4), s * 0.06, s * 0.06);
    });
    return ok;
}
