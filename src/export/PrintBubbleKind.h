#pragma once

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <array>

class QPainter;

// The three bubble frames of printed pages: 1 a received message, 2 a message of the device's owner,
// 3 a date banner. Each is drawn from nine pictures in the "linebb" folder ("bb1_01.png" ... "bb1_09.png",
// "bb2_...", "r_..."), numbered row by row from the top left.
struct PrintBubbleKind
{
    enum Kind
    {
        Received = 1,
        Sent = 2,
        DateBanner = 3,
    };

    // The colour of printed pages, under every bubble.
    static constexpr QColor kPageColour{156, 176, 204};

    QMargins border; // how far the corner and edge pieces reach into the bubble
    QMargins inset;  // where the content starts
    QSize minimum;   // the smallest bubble

    static const PrintBubbleKind& of(Kind kind);

    // Draws the nine pieces over the rectangle: corners at their border sizes, edges stretched between
    // them, the centre over the inside; every picture is scaled into its place. A missing picture paints
    // nothing there.
    void drawFrame(QPainter& painter, const QRect& rect, Kind kind) const;
};

// The nine pictures of one kind, read from the linebb folder on first use and kept for the program's life.
const std::array<QImage, 9>& printBubblePictures(PrintBubbleKind::Kind kind);
