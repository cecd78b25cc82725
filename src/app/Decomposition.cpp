#include "app/Decomposition.h"

#include <QChar>

namespace {
struct Block
{
    char16_t first;
    char16_t last;
};

// Blocks whose precomposed letters iOS file names carry decomposed. Hangul, general punctuation and
// symbols (U+2000-U+2FFF) and the CJK compatibility ideographs are deliberately absent.
constexpr Block kBlocks[] = {
    {0x00C0, 0x00FF}, // Latin-1 Supplement, letters
    {0x0100, 0x017F}, // Latin Extended-A
    {0x0180, 0x024F}, // Latin Extended-B
    {0x0370, 0x03FF}, // Greek and Coptic
    {0x0400, 0x04FF}, // Cyrillic
    {0x0600, 0x06FF}, // Arabic
    {0x0900, 0x0DFF}, // Devanagari to Sinhala
    {0x0E00, 0x0E7F}, // Thai
    {0x0E80, 0x0EFF}, // Lao
    {0x0F00, 0x0FFF}, // Tibetan
    {0x1E00, 0x1EFF}, // Latin Extended Additional
    {0x1F00, 0x1FFF}, // Greek Extended
    {0x3000, 0x30FF}, // CJK symbols, Hiragana, Katakana (voiced kana)
    {0xFB1D, 0xFB4E}, // Hebrew presentation forms
};

QString fullCanonicalDecomposition(char16_t unit)
{
    const QChar c(unit);
    if (c.decompositionTag() != QChar::Canonical)
        return {};
    QString out;
    for (QChar part : c.decomposition()) {
        const QString deeper = fullCanonicalDecomposition(part.unicode());
        out += deeper.isEmpty() ? QString(part) : deeper;
    }
    return out;
}

QHash<char16_t, QString> buildTable()
{
    QHash<char16_t, QString> table;
    for (const Block& block : kBlocks) {
        for (char32_t unit = block.first; unit <= block.last; ++unit) {
            const QString decomposed = fullCanonicalDecomposition(char16_t(unit));
            if (!decomposed.isEmpty())
                table.insert(char16_t(unit), decomposed);
        }
    }
    return table;
}
} // namespace

const QHash<char16_t, QString>& decompositionTable()
{
    static const QHash<char16_t, QString> table = buildTable(); // thread-safe initialisation
    return table;
}

QString toDecomposed(const QString& text)
{
    const auto& table = decompositionTable();
    QString out;
    out.reserve(text.size() + text.size() / 4);
    for (QChar c : text) {
        auto it = table.constFind(c.unicode());
        if (it == table.cend())
            out += c;
        else
            out += it.value();
    }
    return out;
}
