// Per-message costs of the model: every exported or displayed message goes through displayText, and every
// message read from a local database through decodeEmojiText and a tinykv decode.
#include "line/EmojiText.h"
#include "line/LineMsg.h"
#include "line/MessageType.h"
#include "line/TinyKv.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray cp(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1).toUtf8();
}

// A typical chat line: Japanese text with two LINE emoji runs, about 200 bytes.
QByteArray chatLine()
{
    const QByteArray run = cp(0x100001) + cp(0x100002) + cp(0x100078) + cp(0x10FFFF);
    return QStringLiteral("今日はありがとう！また来週の打ち合わせでよろしくお願いします。").toUtf8() + run +
           QByteArray(" See you next week at the station, ok? ") + run;
}

void decodeEmojiText(benchmark::State& state)
{
    const QByteArray line = chatLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(EmojiText::decodeEmojiText(line));
}
BENCHMARK(decodeEmojiText);

void decodePlainText(benchmark::State& state)
{
    const QByteArray line =
        QStringLiteral("今日はありがとう！また来週の打ち合わせでよろしく。 See you!").toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(EmojiText::decodeEmojiText(line));
}
BENCHMARK(decodePlainText);

void displayTextWithEmoji(benchmark::State& state)
{
    _LineMsg message;
    message.type = MessageType::Text;
    message.text = QString::fromUcs4(U"Thanks \uE001\uE00E for today \U0001F600\U0001F44D see you \u2714");
    for (auto _ : state)
        benchmark::DoNotOptimize(message.displayText());
}
BENCHMARK(displayTextWithEmoji);

void displayTextPlain(benchmark::State& state)
{
    _LineMsg message;
    message.type = MessageType::Text;
    message.text = QStringLiteral("Thanks for today, see you next week at the station.");
    for (auto _ : state)
        benchmark::DoNotOptimize(message.displayText());
}
BENCHMARK(displayTextPlain);

QVariantHash locationAtta()
{
    _LineMsg message;
    message.setLocation({35.681236, 139.767125, QStringLiteral("東京都千代田区丸の内1丁目")});
    message.setSize(123456);
    return message.atta;
}

void tinyKvDecode(benchmark::State& state)
{
    const QByteArray blob = TinyKv::encode(locationAtta());
    for (auto _ : state)
        benchmark::DoNotOptimize(TinyKv::decode(blob));
}
BENCHMARK(tinyKvDecode);

void tinyKvEncode(benchmark::State& state)
{
    const QVariantHash atta = locationAtta();
    for (auto _ : state)
        benchmark::DoNotOptimize(TinyKv::encode(atta));
}
BENCHMARK(tinyKvEncode);

} // namespace
