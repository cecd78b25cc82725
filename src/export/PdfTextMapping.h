#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class QGlyphRun;
class QIODevice;
class QRawFont;

// Makes the text of a PDF written by Qt read back as what was drawn. Qt's PDF writer maps each embedded
// glyph back to a character by searching the font's table of 16-bit code points and taking the first
// hit: emoji and other characters beyond U+FFFF get no text at all, and CJK ideographs that share their
// glyph with a radical (日 and ⽇) come back as the radical. This class learns, while the text is drawn,
// which text each glyph stood for, follows the order in which the writer numbers the glyphs of each
// embedded font (glyph 0 first, then each new glyph as it is drawn), and afterwards appends to the
// finished file an update that replaces each font's character map.
//
// Every text of a page must be drawn through QPainter::drawGlyphRun with runs reported to drawn(), so
// that the numbering followed here is the writer's.
class PdfTextMapping
{
public:
    // The name the PDF writer gives the font (its PostScript name).
    QByteArray fontKey(const QRawFont& font);

    bool knows(const QByteArray& font, quint32 glyph) const;
    // The first text learnt for a glyph of a font is kept.
    void learn(const QByteArray& font, quint32 glyph, const QString& text);

    // A new file: the writer numbers the glyphs of each font afresh.
    void beginFile();
    // The glyphs of a run, in the order they are handed to the writer.
    void drawn(const QByteArray& font, const QList<quint32>& glyphs);

    // Appends the character maps of the fonts drawn since beginFile() to the finished PDF in file (open for
    // reading and writing) as an incremental update. False (with error set) when the file is not a PDF as
    // Qt writes it or cannot be written; the file keeps its text layer as Qt wrote it then.
    bool appendTo(QIODevice& file, QString* error = nullptr) const;

    // The character map of one font: CID -> text for the glyphs numbered in this file.
    QByteArray toUnicodeMap(const QByteArray& font) const;

private:
    struct FileFont
    {
        QList<quint32> order;      // CID -> glyph
        QHash<quint32, int> index; // glyph -> CID
    };

    QHash<QByteArray, QByteArray> m_fontKeys;           // family and style -> PostScript name
    QHash<QByteArray, QHash<quint32, QString>> m_texts; // font -> glyph -> text
    QHash<QByteArray, FileFont> m_fileFonts;
};
