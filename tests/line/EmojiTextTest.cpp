#include "line/EmojiText.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace EmojiText;

namespace {

QByteArray cp(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1).toUtf8();
}

const QByteArray kTerminator = cp(0x10FFFF);
const QByteArray kReplacement = cp(0xFFFD);

// A run as LINE writes it: emoji code points, then the terminator.
QByteArray run(std::initializer_list<char32_t> codePoints)
{
    QByteArray bytes;
    for (char32_t c : codePoints)
        bytes += cp(c);
    return bytes + kTerminator;
}

QString tagged(const QString& text)
{
    return replaceEmoji(text, [](const QString& code) { return QStringLiteral("<%1>").arg(code); });
}

} // namespace

TEST(EmojiTextDecode, PlainTextIsDecodedUnchanged)
{
    const QByteArray bytes = QStringLiteral("Hello 世界 \U0001F600 é").toUtf8();
    EXPECT_EQ(decodeEmojiText(bytes), QString::fromUtf8(bytes));
    EXPECT_EQ(decodeEmojiText({}), QString());
}

TEST(EmojiTextDecode, RunBecomesOneMarker)
{
    EXPECT_EQ(decodeEmojiText("a" + run({0x100001, 0x100002, 0x100078}) + "b"), "a[EMOJI]b");
    // Anything between the pair and the terminator belongs to the run.
    EXPECT_EQ(decodeEmojiText(cp(0x100010) + cp(0x100020) + "xyz" + kTerminator + "!"), "[EMOJI]!");
}

TEST(EmojiTextDecode, ConsecutiveRunsAndNearestTerminator)
{
    EXPECT_EQ(decodeEmojiText(run({0x100001, 0x100002, 0x100003}) + run({0x100004, 0x100005, 0x100006})),
              "[EMOJI][EMOJI]");
    EXPECT_EQ(
        decodeEmojiText(run({0x100001, 0x100002, 0x100003}) + " and " + run({0x100004, 0x100005, 0x10})),
        "[EMOJI] and [EMOJI]");
}

TEST(EmojiTextDecode, LonePlane16CodePointsBecomeMarkers)
{
    EXPECT_EQ(decodeEmojiText("x" + cp(0x100000) + "y"), "x[EMOJI]y");
    EXPECT_EQ(decodeEmojiText(cp(0x103FFF)), "[EMOJI]");
    // Above U+103FFF is not a LINE emoji.
    EXPECT_EQ(decodeEmojiText(cp(0x104000)), QString::fromUcs4(U"\U00104000"));
    // A pair without a terminator is not a run: each code point is replaced on its own.
    EXPECT_EQ(decodeEmojiText(cp(0x100001) + cp(0x100002)), "[EMOJI][EMOJI]");
    // A pair directly followed by the terminator lacks the byte in between; the terminator stays.
    EXPECT_EQ(decodeEmojiText(cp(0x100001) + cp(0x100002) + kTerminator),
              QString::fromUcs4(U"[EMOJI][EMOJI]\U0010FFFF"));
}

TEST(EmojiTextDecode, MatchesStartOnlyAtByteBoundaries)
{
    // As hexadecimal text "0f4801020f480304410f48fbfbf0" holds the run pattern starting mid-byte; as bytes
    // there is no plane-16 code point at all.
    const QByteArray bytes = QByteArray::fromHex("0f4801020f480304410f48fbfbf0");
    EXPECT_EQ(decodeEmojiText(bytes), QString::fromUtf8(bytes));
    EXPECT_FALSE(decodeEmojiText(bytes).contains(Marker));
}

TEST(EmojiTextDecode, InvalidUtf8DoesNotBreakDecoding)
{
    const QByteArray bytes = QByteArray("\xF4\x80", 2) + "tail" + QByteArray("\xF4", 1);
    EXPECT_EQ(decodeEmojiText(bytes), QString::fromUtf8(bytes));
}

TEST(EmojiTextRepair, ReplacementCharacterBecomesTerminator)
{
    const QByteArray damaged = "a" + cp(0x100001) + cp(0x100002) + cp(0x100003) + kReplacement + "b";
    EXPECT_EQ(decodeEmojiText(damaged), QString::fromUcs4(U"a[EMOJI][EMOJI][EMOJI]\uFFFDb"));
    EXPECT_EQ(repairEmojiTerminator(damaged), "a" + run({0x100001, 0x100002, 0x100003}) + "b");
    EXPECT_EQ(decodeEmojiText(repairEmojiTerminator(damaged)), "a[EMOJI]b");
    EXPECT_EQ(repairEmojiTerminator(kReplacement + kReplacement), kTerminator + kTerminator);
}

TEST(EmojiTextRepair, LeavesOtherBytesAlone)
{
    EXPECT_EQ(repairEmojiTerminator("plain"), QByteArray("plain"));
    EXPECT_EQ(repairEmojiTerminator({}), QByteArray());
    // "efbfbd" inside the hexadecimal text of these bytes, but not on a byte boundary.
    const QByteArray unaligned = QByteArray::fromHex("0efbfbd0");
    EXPECT_EQ(repairEmojiTerminator(unaligned), unaligned);
}

TEST(EmojiTextDamage, NeedsPairAndReplacementCharacter)
{
    EXPECT_TRUE(hasDamagedEmoji(cp(0x100001) + cp(0x100002) + "x" + kReplacement));
    EXPECT_TRUE(hasDamagedEmoji(kReplacement + "x" + cp(0x10FFF0) + cp(0x100002)));
    EXPECT_FALSE(hasDamagedEmoji(run({0x100001, 0x100002, 0x100003})));
    EXPECT_FALSE(hasDamagedEmoji(cp(0x100001) + "x" + cp(0x100002) + kReplacement));
    EXPECT_FALSE(hasDamagedEmoji(kReplacement));
    EXPECT_FALSE(hasDamagedEmoji({}));
    // Both patterns present only across byte boundaries.
    EXPECT_FALSE(
        hasDamagedEmoji(QByteArray::fromHex("0f4801020f48030441") + QByteArray::fromHex("0efbfbd0")));
    EXPECT_FALSE(hasDamagedEmoji(cp(0x100001) + cp(0x100002) + QByteArray::fromHex("0efbfbd0")));
}

TEST(EmojiTextReplace, PrivateUseBlockAndSymbols)
{
    EXPECT_EQ(tagged(QString(QChar(0xE000)) + "a" + QChar(0xE537)), "<E000>a<E537>");
    EXPECT_EQ(tagged(QString(QChar(0xE538)) + QChar(0xCFFF)), QString(QChar(0xE538)) + QChar(0xCFFF));
    const QList<char16_t> listed = {0x203C, 0x2049, 0x2139, 0x2194, 0x2195, 0x21A9, 0x21AA, 0x231A, 0x231B,
                                    0x23EB, 0x23EC, 0x23F0, 0x23F3, 0x24C2, 0x25AA, 0x25AB, 0x25FB, 0x25FC,
                                    0x25FD, 0x25FE, 0x2611, 0x267B, 0x2693, 0x26AA, 0x26AB, 0x26C5, 0x26D4,
                                    0x2705, 0x2709, 0x270F, 0x2712, 0x2714, 0x2744, 0x2747, 0x274E, 0x2795,
                                    0x2796, 0x2797, 0x27B0, 0x2934, 0x2935, 0x2B1B, 0x2B1C, 0x3030};
    for (char16_t unit : listed) {
        EXPECT_TRUE(isSingleUnitEmoji(unit)) << std::hex << int(unit);
        EXPECT_EQ(tagged(QString(QChar(unit))), QStringLiteral("<%1>").arg(int(unit), 0, 16).toUpper());
    }
    for (char16_t unit : {u'a', char16_t(0x203B), char16_t(0x2715), char16_t(0x3031), char16_t(0xDFFF)})
        EXPECT_FALSE(isSingleUnitEmoji(unit)) << std::hex << int(unit);
}

TEST(EmojiTextReplace, SurrogatePairsOfD83CAndD83D)
{
    EXPECT_EQ(tagged(QString::fromUcs4(U"x\U0001F600y\U0001F004")), "x<1F600>y<1F004>");
    EXPECT_EQ(tagged(QString::fromUcs4(U"\U0001F000\U0001F7FF")), "<1F000><1F7FF>");
    // Other planes-1 blocks stay.
    EXPECT_EQ(tagged(QString::fromUcs4(U"\U0001F900\U0001EFFF")), QString::fromUcs4(U"\U0001F900\U0001EFFF"));
}

TEST(EmojiTextReplace, BrokenSurrogatesStay)
{
    QString lone;
    lone.append(QChar(0xD83D));
    lone.append(QLatin1Char('a'));
    lone.append(QChar(0xD83C));
    EXPECT_EQ(tagged(lone), lone);
}

TEST(EmojiTextReplace, OneLineMarkerAndUntouchedText)
{
    const auto marker = [](const QString&) { return Marker; };
    EXPECT_EQ(replaceEmoji(QString::fromUcs4(U"ok \uE001\U0001F44D!"), marker), "ok [EMOJI][EMOJI]!");
    const QString plain = QStringLiteral("no emoji here, 日本語");
    EXPECT_EQ(replaceEmoji(plain, marker), plain);
    EXPECT_EQ(replaceEmoji({}, marker), QString());
}

TEST(EmojiTextReplace, SecondPassSeesFirstPassOutput)
{
    // What the formatter returns for a single unit is scanned for surrogate pairs afterwards.
    int calls = 0;
    const QString out = replaceEmoji(QString(QChar(0xE001)), [&calls](const QString& code) {
        ++calls;
        return code == "E001" ? QString::fromUcs4(U"\U0001F600") : QStringLiteral("done");
    });
    EXPECT_EQ(out, "done");
    EXPECT_EQ(calls, 2);
}
