#pragma once

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>
#include <QTextLayout>
#include <memory>

class PdfTextMapping;
class QPainter;
class QPaintDevice;

// A piece of text laid out for a printed page: wrapped at word boundaries (anywhere when a word is wider
// than the limit), line breaks kept, measured in the device's pixels. Drawn glyph run by glyph run, so
// that a PDF keeps it as text (see PdfTextMapping); glyphs of colour fonts (emoji), which PDF fonts cannot
// show, are drawn as pictures over their invisible text.
class PrintText
{
public:
    // widthLimit <= 0: one line per paragraph, never wrapped.
    PrintText(const QString& text, const QFont& font, qreal widthLimit, QPaintDevice* device);
    ~PrintText();
    PrintText(const PrintText&) = delete;
    PrintText& operator=(const PrintText&) = delete;

    // The widest line and the height of all lines.
    QSizeF size() const { return m_size; }
    int lineCount() const;
    // Top of a line relative to the text's top; lineTop(lineCount()) is the height.
    qreal lineTop(int line) const;

    // Draws lines [from, to) so that line `from` starts at topLeft.
    void draw(QPainter& painter, const QPointF& topLeft, const QColor& color, PdfTextMapping* mapping,
              int from = 0, int to = -1) const;

private:
    void learnGlyphs(const QTextLine& line, PdfTextMapping& mapping) const;

    std::unique_ptr<QTextLayout> m_layout;
    QSizeF m_size;
};
