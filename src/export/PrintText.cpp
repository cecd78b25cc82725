#include "export/PrintText.h"

#include "export/PdfTextMapping.h"

#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <cmath>

namespace {
// Colour glyphs are drawn this many times finer than the page's pixels, so they stay sharp in print.
constexpr int kGlyphPictureScale = 4;
constexpr int kMaxGlyphPictures = 4096;
constexpr qreal kUnlimitedWidth = 1e6;

bool isColourFont(const QRawFont& font)
{
    static QMutex mutex;
    static QHash<QString, bool> known;
    const QString key = font.familyName() + QLatin1Char('\n') + font.styleName();
    QMutexLocker lock(&mutex);
    auto it = known.constFind(key);
    if (it != known.constEnd())
        return *it;
    const bool colour = !font.fontTable("CBDT").isEmpty() || !font.fontTable("sbix").isEmpty() ||
                        !font.fontTable("COLR").isEmpty();
    known.insert(key, colour);
    return colour;
}

// A colour glyph as a picture, and where it lies relative to its pen position.
struct GlyphPicture
{
    QImage image;
    QRectF bounds;
};

GlyphPicture glyphPicture(const QRawFont& font, quint32 glyph)
{
    static QMutex mutex;
    static QHash<QString, GlyphPicture> cache;
    const QString key = QStringLiteral("%1\n%2\n%3\n%4")
                            .arg(font.familyName(), font.styleName())
                            .arg(font.pixelSize())
                            .arg(glyph);
    {
        QMutexLocker lock(&mutex);
        auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return *it;
    }
    GlyphPicture picture;
    picture.bounds = font.boundingRect(glyph);
    if (picture.bounds.isEmpty())
        picture.bounds = QRectF(0, -font.ascent(), font.averageCharWidth(), font.ascent() + font.descent());
    QRawFont fine = font;
    fine.setPixelSize(font.pixelSize() * kGlyphPictureScale);
    const QRectF fineBounds = fine.boundingRect(glyph);
    const QSize size(std::max(1, int(std::ceil(fineBounds.width()))),
                     std::max(1, int(std::ceil(fineBounds.height()))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        QGlyphRun run;
        run.setRawFont(fine);
        run.setGlyphIndexes({glyph});
        run.setPositions({-fineBounds.topLeft()});
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    picture.image = image;
    picture.bounds =
        QRectF(fineBounds.topLeft() / kGlyphPictureScale, fineBounds.size() / kGlyphPictureScale);
    QMutexLocker lock(&mutex);
    if (cache.size() >= kMaxGlyphPictures)
        cache.clear();
    cache.insert(key, picture);
    return picture;
}

QString withLineSeparators(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}
} // namespace

PrintText::PrintText(const QString& text, const QFont& font, qreal widthLimit, QPaintDevice* device)
    : m_layout(std::make_unique<QTextLayout>(withLineSeparators(text), font, device))
{
    QTextOption option;
    option.setWrapMode(widthLimit > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    m_layout->beginLayout();
    qreal y = 0;
    qreal width = 0;
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        // Setting the width lays the line out; unwrapped text gets a width no line reaches.
        line.setLineWidth(widthLimit > 0 ? widthLimit : kUnlimitedWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
        width = std::max(width, line.naturalTextWidth());
    }
    m_layout->endLayout();
    m_size = QSizeF(std::ceil(width), std::ceil(y));
}

PrintText::~PrintText() = default;

int PrintText::lineCount() const
{
    return m_layout->lineCount();
}

qreal PrintText::lineTop(int line) const
{
    if (line >= m_layout->lineCount())
        return m_size.height();
    return m_layout->lineAt(line).y();
}

void PrintText::draw(QPainter& painter, const QPointF& topLeft, const QColor& color, PdfTextMapping* mapping,
                     int from, int to) const
{
    if (to < 0 || to > m_layout->lineCount())
        to = m_layout->lineCount();
    const QPointF origin = topLeft - QPointF(0, lineTop(from));
    for (int i = from; i < to; ++i) {
        const QTextLine line = m_layout->lineAt(i);
        const QList<QGlyphRun> runs = line.glyphRuns();
        if (mapping)
            learnGlyphs(line, *mapping);
        for (const QGlyphRun& run : runs) {
            const QRawFont font = run.rawFont();
            const bool colour = isColourFont(font);
            if (colour) {
                const QList<quint32> glyphs = run.glyphIndexes();
                const QList<QPointF> positions = run.positions();
                for (qsizetype g = 0; g < glyphs.size(); ++g) {
                    const GlyphPicture picture = glyphPicture(font, glyphs[g]);
                    painter.drawImage(picture.bounds.translated(origin + positions[g]), picture.image);
                }
            }
            // Colour glyphs have no outline a PDF can show: their text is drawn invisibly, for copying and
            // searching.
            painter.setPen(colour ? QColor(Qt::transparent) : color);
            painter.drawGlyphRun(origin, run);
            if (mapping)
                mapping->drawn(mapping->fontKey(font), run.glyphIndexes());
        }
    }
}

void PrintText::learnGlyphs(const QTextLine& line, PdfTextMapping& mapping) const
{
    bool complete = true;
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QByteArray font = mapping.fontKey(run.rawFont());
        for (quint32 glyph : run.glyphIndexes()) {
            if (!mapping.knows(font, glyph)) {
                complete = false;
                break;
            }
        }
        if (!complete)
            break;
    }
    if (complete)
        return;

    // Which glyphs each character cluster of the line became. A glyph that neighbouring clusters share in
    // the same place (a ligature) stands for all of their text.
    struct Learnt
    {
        QString text;
        int lastCluster;
        QPointF position;
    };
    QHash<QPair<QByteArray, quint32>, Learnt> learnt;
    const QString text = m_layout->text();
    const int start = line.textStart();
    const int end = start + line.textLength();
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    clusters.setPosition(start);
    int cluster = 0;
    for (int from = start; from < end; ++cluster) {
        int next = clusters.toNextBoundary();
        if (next < 0 || next > end)
            next = end;
        QString piece = text.mid(from, next - from);
        if (piece == QString(QChar::LineSeparator))
            piece = QStringLiteral("\n");
        for (const QGlyphRun& run : line.glyphRuns(from, next - from)) {
            const QByteArray font = mapping.fontKey(run.rawFont());
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype g = 0; g < glyphs.size(); ++g) {
                auto it = learnt.find({font, glyphs[g]});
                if (it == learnt.end()) {
                    learnt.insert({font, glyphs[g]}, {piece, cluster, positions.value(g)});
                } else if (it->lastCluster == cluster - 1 && it->position == positions.value(g)) {
                    it->text += piece;
                    it->lastCluster = cluster;
                }
            }
        }
        from = next;
    }
    for (auto it = learnt.cbegin(); it != learnt.cend(); ++it)
        mapping.learn(it.key().first, it.key().second, it->text);
}
