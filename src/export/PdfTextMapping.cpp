#include "export/PdfTextMapping.h"

#include <QIODevice>
#include <QRawFont>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <map>

namespace {
// The PostScript name (name ID 6) from a font's "name" table; empty when it has none.
QByteArray postScriptName(const QByteArray& table)
{
    if (table.size() < 6)
        return {};
    const auto* data = reinterpret_cast<const uchar*>(table.constData());
    const int count = qFromBigEndian<quint16>(data + 2);
    const int strings = qFromBigEndian<quint16>(data + 4);
    QByteArray fallback;
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + qsizetype(i) * 12;
        if (record + 12 > table.size())
            break;
        const int platform = qFromBigEndian<quint16>(data + record);
        const int nameId = qFromBigEndian<quint16>(data + record + 6);
        const int length = qFromBigEndian<quint16>(data + record + 8);
        const int offset = qFromBigEndian<quint16>(data + record + 10);
        if (nameId != 6 || qsizetype(strings) + offset + length > table.size())
            continue;
        const QByteArray bytes = table.mid(strings + offset, length);
        if (platform == 3 || platform == 0) { // UTF-16BE
            QString name;
            for (qsizetype c = 0; c + 1 < bytes.size(); c += 2)
                name += QChar(qFromBigEndian<quint16>(bytes.constData() + c));
            return name.toLatin1();
        }
        if (platform == 1 && fallback.isEmpty())
            fallback = bytes;
    }
    return fallback;
}

QByteArray utf16Hex(const QString& text)
{
    QByteArray hex;
    for (QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

QByteArray cidHex(int cid)
{
    return QByteArray::number(cid, 16).rightJustified(4, '0').toUpper();
}
} // namespace

QByteArray PdfTextMapping::fontKey(const QRawFont& font)
{
    const QByteArray identity = font.familyName().toUtf8() + '\n' + font.styleName().toUtf8() + '\n' +
                                QByteArray::number(font.weight()) + '\n' + QByteArray::number(font.style());
    auto it = m_fontKeys.constFind(identity);
    if (it != m_fontKeys.constEnd())
        return *it;
    QByteArray name = postScriptName(font.fontTable("name"));
    if (name.isEmpty())
        name = font.familyName().toLatin1();
    name.replace(' ', "");
    m_fontKeys.insert(identity, name);
    return name;
}

bool PdfTextMapping::knows(const QByteArray& font, quint32 glyph) const
{
    auto it = m_texts.constFind(font);
    return it != m_texts.constEnd() && it->contains(glyph);
}

void PdfTextMapping::learn(const QByteArray& font, quint32 glyph, const QString& text)
{
    QHash<quint32, QString>& texts = m_texts[font];
    if (!texts.contains(glyph))
        texts.insert(glyph, text);
}

void PdfTextMapping::beginFile()
{
    m_fileFonts.clear();
}

void PdfTextMapping::drawn(const QByteArray& font, const QList<quint32>& glyphs)
{
    FileFont& file = m_fileFonts[font];
    if (file.order.isEmpty()) {
        file.order.append(0); // the writer starts every font with the missing-glyph symbol
        file.index.insert(0, 0);
    }
    for (quint32 glyph : glyphs) {
        if (file.index.contains(glyph))
            continue;
        file.index.insert(glyph, int(file.order.size()));
        file.order.append(glyph);
    }
}

QByteArray PdfTextMapping::toUnicodeMap(const QByteArray& font) const
{
    QList<QByteArray> entries;
    const auto file = m_fileFonts.constFind(font);
    const auto texts = m_texts.constFind(font);
    if (file != m_fileFonts.constEnd() && texts != m_texts.constEnd()) {
        for (int cid = 1; cid < file->order.size() && cid <= 0xFFFF; ++cid) {
            const QString text = texts->value(file->order[cid]);
            if (!text.isEmpty() && text.size() <= 256)
                entries.append('<' + cidHex(cid) + "> <" + utf16Hex(text) + ">\n");
        }
    }
    QByteArray map = "/CIDInit /ProcSet findresource begin\n"
                     "12 dict begin\n"
                     "begincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n"
                     "/CMapType 2 def\n"
                     "1 begincodespacerange\n"
                     "<0000> <FFFF>\n"
                     "endcodespacerange\n";
    for (qsizetype start = 0; start < entries.size(); start += 100) {
        const qsizetype n = std::min<qsizetype>(100, entries.size() - start);
        map += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype i = start; i < start + n; ++i)
            map += entries[i];
        map += "endbfchar\n";
    }
    map += "endcmap\n"
           "CMapName currentdict /CMap defineresource pop\n"
           "end\n"
           "end\n";
    return map;
}

bool PdfTextMapping::appendTo(QIODevice& file, QString* error) const
{
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!file.seek(0))
        return fail(file.errorString());
    const QByteArray pdf = file.readAll();

    // The font dictionaries as Qt writes them, and the object of each one's character map.
    static const QRegularExpression fontPattern(
        QStringLiteral("/Subtype /Type0\\s*/BaseFont /([^\\s/<>\\[\\]()]+)[^>]*?/ToUnicode (\\d+) 0 R"));
    const QString text = QString::fromLatin1(pdf);
    std::map<int, QByteArray> replaced; // object number -> font
    QHash<QByteArray, int> seen;
    for (auto it = fontPattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QByteArray font = match.captured(1).toLatin1();
        seen[font] += 1;
        if (m_fileFonts.contains(font))
            replaced[match.captured(2).toInt()] = font;
    }
    // Two embedded fonts under one name cannot be told apart: leave theirs as they are.
    for (auto it = replaced.begin(); it != replaced.end();)
        it = seen.value(it->second) > 1 ? replaced.erase(it) : std::next(it);
    if (replaced.empty())
        return true;

    static const QRegularExpression trailerPattern(
        QStringLiteral("trailer\\s*<<(.*?)>>\\s*startxref\\s*(\\d+)"),
        QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch trailer;
    for (auto it = trailerPattern.globalMatch(text); it.hasNext();)
        trailer = it.next();
    if (!trailer.hasMatch())
        return fail(QStringLiteral("no trailer"));
    const QString dictionary = trailer.captured(1);
    static const QRegularExpression sizePattern(QStringLiteral("/Size (\\d+)"));
    static const QRegularExpression rootPattern(QStringLiteral("/Root (\\d+ \\d+ R)"));
    static const QRegularExpression infoPattern(QStringLiteral("/Info (\\d+ \\d+ R)"));
    const QRegularExpressionMatch size = sizePattern.match(dictionary);
    const QRegularExpressionMatch root = rootPattern.match(dictionary);
    if (!size.hasMatch() || !root.hasMatch())
        return fail(QStringLiteral("incomplete trailer"));
    const QRegularExpressionMatch info = infoPattern.match(dictionary);

    QByteArray update = pdf.endsWith('\n') ? QByteArray() : QByteArray("\n");
    std::map<int, qint64> offsets;
    for (const auto& [object, font] : replaced) {
        const QByteArray map = toUnicodeMap(font);
        offsets[object] = pdf.size() + update.size();
        update += QByteArray::number(object) + " 0 obj\n<< /Length " + QByteArray::number(map.size()) +
                  " >>\nstream\n" + map + "endstream\nendobj\n";
    }
    const qint64 xref = pdf.size() + update.size();
    update += "xref\n";
    for (const auto& [object, offset] : offsets) {
        update += QByteArray::number(object) + " 1\n";
        update += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    update += "trailer\n<< /Size " + size.captured(1).toLatin1() + " /Root " + root.captured(1).toLatin1();
    if (info.hasMatch())
        update += " /Info " + info.captured(1).toLatin1();
    update += " /Prev " + trailer.captured(2).toLatin1() + " >>\nstartxref\n" + QByteArray::number(xref) +
              "\n%%EOF\n";
    if (!file.seek(pdf.size()) || file.write(update) != update.size())
        return fail(file.errorString());
    return true;
}
