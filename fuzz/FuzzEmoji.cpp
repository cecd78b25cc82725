// Runs the emoji operations on arbitrary bytes (as stored text) and on the same bytes read as UTF-16 units
// (lone surrogates included), checking what must hold whatever the input.
#include "line/EmojiText.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool hasPlainEmoji(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (EmojiText::isSingleUnitEmoji(unit))
            return true;
        if ((unit == 0xD83C || unit == 0xD83D) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString decoded = EmojiText::decodeEmojiText(bytes);
    if (!bytes.contains('\xF4'))
        check(decoded == QString::fromUtf8(bytes));

    const QByteArray repaired = EmojiText::repairEmojiTerminator(bytes);
    check(!repaired.contains("\xEF\xBF\xBD"));
    check(!EmojiText::hasDamagedEmoji(repaired));
    check(EmojiText::repairEmojiTerminator(repaired) == repaired);
    if (EmojiText::hasDamagedEmoji(bytes))
        check(bytes.contains("\xEF\xBF\xBD"));
    EmojiText::decodeEmojiText(repaired);

    const auto marker = [](const QString&) { return EmojiText::Marker; };
    check(!hasPlainEmoji(EmojiText::replaceEmoji(decoded, marker)));
    const QString units(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    const QString replaced = EmojiText::replaceEmoji(units, [](const QString& code) {
        check(!code.isEmpty() && code.size() <= 5 && code == code.toUpper());
        return QStringLiteral("<") + code + QStringLiteral(">");
    });
    check(!hasPlainEmoji(replaced));
    return 0;
}
