#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// LINE's iPhone app writes its own emoji into message text as runs of plane-16 code points (four-byte
// UTF-8 sequences F4 8x xx xx) closed by U+10FFFF (F4 8F BF BF). Older copies of such text may have lost
// the closing code point to U+FFFD (EF BF BD). Everything here works on whole bytes or whole UTF-16 units.
namespace EmojiText {

// The marker that stands for one LINE emoji in decoded text.
inline const QString Marker = QStringLiteral("[EMOJI]");

// Decodes stored message bytes for display: every run of two plane-16 code points, then at least one more
// byte, then the first U+10FFFF after them becomes "[EMOJI]"; the rest is decoded as UTF-8, and each left
// over code point U+100000-U+103FFF becomes "[EMOJI]" too.
QString decodeEmojiText(const QByteArray& content);

// Every U+FFFD (EF BF BD) becomes U+10FFFF (F4 8F BF BF).
QByteArray repairEmojiTerminator(const QByteArray& bytes);

// True when the bytes hold two consecutive plane-16 code points and also a U+FFFD.
bool hasDamagedEmoji(QByteArrayView bytes);

// Receives a code point in upper-case hexadecimal without leading zeros ("E001", "1F600") and returns
// what replaces it.
using EmojiFormatter = std::function<QString(const QString& code)>;

// Replaces the emoji the program knows, in two passes: first single UTF-16 units (the private-use block
// E000-E537 and a list of symbols), then surrogate pairs whose high half is D83C or D83D
// (U+1F000-U+1F7FF). The second pass also sees what the formatter returned in the first.
QString replaceEmoji(const QString& text, const EmojiFormatter& formatter);

// True for the single units the first pass of replaceEmoji replaces.
bool isSingleUnitEmoji(char16_t unit);

} // namespace EmojiText
