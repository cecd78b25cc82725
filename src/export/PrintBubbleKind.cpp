#include "export/PrintBubbleKind.h"

#include "app/AssetDir.h"

#include <QDir>
#include <QPainter>
#include <mutex>

namespace {
const char* prefixOf(PrintBubbleKind::Kind kind)
{
    switch (kind) {
    case PrintBubbleKind::Received:
        return "bb1_";
    case PrintBubbleKind::Sent:
        return "bb2_";
    case PrintBubbleKind::DateBanner:
        break;
    }
    return "r_";
}

// The pieces laid on the page's colour, as a whole bubble would be painted on it: opaque pieces leave no
// seams where neighbours meet when a viewer scales them.
std::array<QImage, 9> loadPictures(PrintBubbleKind::Kind kind)
{
    std::array<QImage, 9> pictures;
    const QDir folder(linebbDir());
    for (int i = 0; i < 9; ++i) {
        const QString name =
            QStringLiteral("%1%2.png").arg(QLatin1String(prefixOf(kind))).arg(i + 1, 2, 10, QLatin1Char('0'));
        QImage piece;
        if (!piece.load(folder.filePath(name))) {
            qWarning("print: the bubble picture %s is missing", qPrintable(folder.filePath(name)));
            continue;
        }
        QImage opaque(piece.size(), QImage::Format_RGB32);
        opaque.fill(PrintBubbleKind::kPageColour);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, piece);
        painter.end();
        pictures[i] = opaque;
    }
    return pictures;
}
} // namespace

const PrintBubbleKind& PrintBubbleKind::of(Kind kind)
{
    // QMargins take left, top, right, bottom.
    static const PrintBubbleKind received{QMargins(10, 10, 13, 10), QMargins(12, 5, 12, 5), QSize(150, 16)};
    static const PrintBubbleKind sent{QMargins(11, 8, 9, 9), QMargins(12, 5, 12, 5), QSize(150, 16)};
    static const PrintBubbleKind banner{QMargins(15, 10, 13, 9), QMargins(9, 7, 7, 6), QSize(80, 20)};
    switch (kind) {
    case Received:
        return received;
    case Sent:
        return sent;
    case DateBanner:
        break;
    }
    return banner;
}

const std::array<QImage, 9>& printBubblePictures(PrintBubbleKind::Kind kind)
{
    static std::once_flag once;
    static std::array<std::array<QImage, 9>, 3> all;
    std::call_once(once, [] {
        all[0] = loadPictures(PrintBubbleKind::Received);
        all[1] = loadPictures(PrintBubbleKind::Sent);
        all[2] = loadPictures(PrintBubbleKind::DateBanner);
    });
    return all[kind - 1];
}

void PrintBubbleKind::drawFrame(QPainter& painter, const QRect& rect, Kind kind) const
{
    const std::array<QImage, 9>& pictures = printBubblePictures(kind);
    const int xs[] = {rect.left(), rect.left() + border.left(), rect.right() + 1 - border.right(),
                      rect.right() + 1};
    const int ys[] = {rect.top(), rect.top() + border.top(), rect.bottom() + 1 - border.bottom(),
                      rect.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QImage& picture = pictures[row * 3 + column];
            const QRect target(QPoint(xs[column], ys[row]), QPoint(xs[column + 1] - 1, ys[row + 1] - 1));
            if (!picture.isNull() && target.width() > 0 && target.height() > 0)
                painter.drawImage(target, picture);
        }
    }
}
