#include "line/EmojiText.h"

#include <algorithm>
#include <array>

namespace EmojiText {
namespace {

constexpr char kReplacementChar[] = "\xEF\xBF\xBD"; // U+FFFD
constexpr char kTerminator[] = "\xF4\x8F\xBF\xBF";  // U+10FFFF
constexpr qsizetype kCodePointBytes = 4;

// The symbols outside the private-use block that LINE's keyboard sends as emoji (sorted for lookup).
constexpr auto kSymbols = std::to_array<char16_t>(
    {0x203C, 0x2049, 0x2139, 0x2194, 0x2195, 0x21A9, 0x21AA, 0x231A, 0x231B, 0x23EB, 0x23EC,
     0x23F0, 0x23F3, 0x24C2, 0x25AA, 0x25AB, 0x25FB, 0x25FC, 0x25FD, 0x25FE, 0x2611, 0x267B,
     0x2693, 0x26AA, 0x26AB, 0x26C5, 0x26D4, 0x2705, 0x2709, 0x270F, 0x2712, 0x2714, 0x2744,
     0x2747, 0x274E, 0x2795, 0x2796, 0x2797, 0x27B0, 0x2934, 0x2935, 0x2B1B, 0x2B1C, 0x3030});
static_assert(std::is_sorted(kSymbols.begin(), kSymbols.end()));

// F4 8x xx xx: the lead bytes of a code point U+100000-U+10FFFF, starting at a byte boundary.
bool isPlane16At(QByteArrayView bytes, qsizetype i)
{
    return i + kCodePointBytes <= bytes.size() && quint8(bytes[i]) == 0xF4 &&
           (quint8(bytes[i + 1]) & 0xF0) == 0x80;
}

bool hasPlane16Pair(QByteArrayView bytes)
{
    for (qsizetype i = 0; i + 2 * kCodePointBytes <= bytes.size(); ++i) {
        if (isPlane16At(bytes, i) && isPlane16At(bytes, i + kCodePointBytes))
            return true;
    }
    return false;
}

QString hexCode(char32_t codePoint)
{
    return QString::number(quint32(codePoint), 16).toUpper();
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Step 1: runs of two plane-16 code points, one or more bytes, then the nearest U+10FFFF.
QByteArray replaceEmojiRuns(const QByteArray& content)
{
    static const QByteArray marker = Marker.toUtf8();
    static const QByteArray terminator(kTerminator, kCodePointBytes);
    QByteArray out;
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i + 2 * kCodePointBytes < content.size()) {
        if (!isPlane16At(content, i) || !isPlane16At(content, i + kCodePointBytes)) {
            ++i;
            continue;
        }
        // At least one byte between the pair and the terminator; the nearest terminator closes the run.
        const qsizetype end = content.indexOf(terminator, i + 2 * kCodePointBytes + 1);
        if (end < 0)
            break; // no terminator further on: no later start can match either
        if (out.isEmpty())
            out.reserve(content.size());
        out.append(content.constData() + copied, i - copied);
        out.append(marker);
        i = end + kCodePointBytes;
        copied = i;
    }
    if (copied == 0)
        return content;
    out.append(content.constData() + copied, content.size() - copied);
    return out;
}

} // namespace

bool isSingleUnitEmoji(char16_t unit)
{
    if (unit >= 0xE000 && unit <= 0xE537)
        return true;
    if (unit < kSymbols.front() || unit > kSymbols.back())
        return false; // most text never reaches the search
    return std::binary_search(kSymbols.begin(), kSymbols.end(), unit);
}

QString decodeEmojiText(const QByteArray& content)
{
    // Every code point of plane 16 starts with the byte F4: text without one (most of it) has nothing to
    // replace in either step.
    if (!content.contains('\xF4'))
        return QString::fromUtf8(content);
    const QString text = QString::fromUtf8(replaceEmojiRuns(content));
    // Step 2: a code point U+100000-U+103FFF left outside a complete run (high surrogate DBC0-DBCF).
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first + 1 < size && !(units[first] >= 0xDBC0 && units[first] <= 0xDBCF))
        ++first;
    if (first + 1 >= size)
        return text;
    QString out;
    out.reserve(size + Marker.size());
    out.append(QStringView(units, first));
    for (qsizetype i = first; i < size;) {
        if (units[i] >= 0xDBC0 && units[i] <= 0xDBCF && i + 1 < size) {
            out.append(Marker);
            i += 2;
        } else {
            out.append(QChar(units[i]));
            ++i;
        }
    }
    return out;
}

QByteArray repairEmojiTerminator(const QByteArray& bytes)
{
    if (!bytes.contains(kReplacementChar))
        return bytes;
    QByteArray out = bytes;
    out.replace(QByteArray(kReplacementChar), QByteArray(kTerminator, kCodePointBytes));
    return out;
}

bool hasDamagedEmoji(QByteArrayView bytes)
{
    return bytes.contains(kReplacementChar) && hasPlane16Pair(bytes);
}

QString replaceEmoji(const QString& text, const EmojiFormatter& formatter)
{
    // Pass 1: single units.
    QString pass1;
    {
        const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
        const qsizetype size = text.size();
        qsizetype copied = 0;
        for (qsizetype i = 0; i < size; ++i) {
            if (!isSingleUnitEmoji(units[i]))
                continue;
            if (copied == 0 && pass1.isEmpty())
                pass1.reserve(size);
            pass1.append(QStringView(units + copied, i - copied));
            pass1.append(formatter(hexCode(units[i])));
            copied = i + 1;
        }
        if (copied == 0)
            pass1 = text;
        else
            pass1.append(QStringView(units + copied, size - copied));
    }

    // Pass 2: surrogate pairs U+1F000-U+1F7FF. Only a real pair counts: a lone D83C/D83D before some other
    // unit is not a code point and stays as it is.
    const auto* units = reinterpret_cast<const char16_t*>(pass1.utf16());
    const qsizetype size = pass1.size();
    QString out;
    qsizetype copied = 0;
    for (qsizetype i = 0; i + 1 < size; ++i) {
        const char16_t high = units[i];
        if ((high != 0xD83C && high != 0xD83D) || !isLowSurrogate(units[i + 1]))
            continue;
        const char32_t codePoint = (char32_t(high - 0xD800) << 10) + (units[i + 1] - 0xDC00) + 0x10000;
        if (copied == 0 && out.isEmpty())
            out.reserve(size);
        out.append(QStringView(units + copied, i - copied));
        out.append(formatter(hexCode(codePoint)));
        ++i;
        copied = i + 1;
    }
    if (copied == 0)
        return pass1;
    out.append(QStringView(units + copied, size - copied));
    return out;
}

} // namespace EmojiText
