#include "line/LineMsg.h"
#include "line/IOSContentMetadata.h"
#include "line/LineAttaKeys.h"
#include "line/LineGroup.h"
#include "line/LineImageUrls.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

_LineMsg messageOfType(int type)
{
    _LineMsg message;
    message.type = type;
    return message;
}

_LineMsg voiceOf(qint64 size)
{
    _LineMsg message = messageOfType(MessageType::Voice);
    message.setSize(size);
    return message;
}

class LineImageUrlsTest : public ::testing::Test
{
protected:
    void TearDown() override { LineImageUrls::resetServers(); }
};

} // namespace

TEST(LineMsgDefaults, DefaultMessageIsEmpty)
{
    const _LineMsg message;
    EXPECT_EQ(message.id, 0);
    EXPECT_EQ(message.type, MessageType::Text);
    EXPECT_FALSE(message.time.isValid());
    EXPECT_TRUE(message.uid.isEmpty() && message.content.isEmpty() && message.text.isEmpty());
    EXPECT_TRUE(message.atta.isEmpty());
    EXPECT_EQ(message.chat, nullptr);
    EXPECT_TRUE(message.isOutgoing());
    // Missing keys read as empty or zero.
    EXPECT_EQ(message.contactUid(), QString());
    EXPECT_EQ(message.fileName(), QString());
    EXPECT_EQ(message.size(), 0);
    EXPECT_EQ(message.width(), 0);
    EXPECT_EQ(message.location(), _LineLocation());
    EXPECT_EQ(message.sticker(), _LineSticker());
}

TEST(LineMsgUid, EmptyOrZeroIsNoUid)
{
    _LineMsg message;
    EXPECT_FALSE(message.hasUid());
    message.uid = QStringLiteral("0");
    EXPECT_FALSE(message.hasUid());
    message.uid = QStringLiteral("00");
    EXPECT_TRUE(message.hasUid());
    EXPECT_TRUE(_LineMsg::isRealUid(QStringLiteral("1234567890")));
    EXPECT_FALSE(_LineMsg::isRealUid(QString()));
}

TEST(IOSContentMetadataTest, ContactNamesAreStoredWithEntitiesAndReadBackWithout)
{
    const QString name = QStringLiteral("A & \"B\" <C> &lt;");
    const QString stored = IOSContentMetadata::storedContactName(name);
    EXPECT_EQ(stored, QStringLiteral("A &amp; &quot;B&quot; &lt;C&gt; &amp;lt;"));
    EXPECT_EQ(IOSContentMetadata::contactNameFromStored(stored), name);
}

TEST(LineMsgAtta, SettersStoreTheKeysWithTheirTypes)
{
    _LineMsg message;
    message.setContact("u123", "Taro");
    message.setFileName("report.pdf");
    message.setSize(5'000'000'000);
    message.setWidth(640);
    message.setHeight(480);
    message.setLocation({35.5, 139.25, "Tokyo"});
    message.setSticker({11, 22, 33});
    const QVariantHash& atta = message.atta;
    EXPECT_EQ(atta.value(LineAttaKeys::ContactUid), QVariant("u123"));
    EXPECT_EQ(atta.value(LineAttaKeys::ContactName).typeId(), QMetaType::QString);
    EXPECT_EQ(atta.value(LineAttaKeys::Size).typeId(), QMetaType::LongLong);
    EXPECT_EQ(atta.value(LineAttaKeys::Width).typeId(), QMetaType::Int);
    EXPECT_EQ(atta.value(LineAttaKeys::LocLat).typeId(), QMetaType::Double);
    EXPECT_EQ(atta.value(LineAttaKeys::StickerVersion).typeId(), QMetaType::Int);
    EXPECT_EQ(atta.size(), 12);
    EXPECT_EQ(message.contactName(), "Taro");
    EXPECT_EQ(message.fileName(), "report.pdf");
    EXPECT_EQ(message.size(), 5'000'000'000);
    EXPECT_EQ(message.height(), 480);
    EXPECT_EQ(message.location(), (_LineLocation{35.5, 139.25, "Tokyo"}));
    EXPECT_EQ(message.sticker(), (_LineSticker{11, 22, 33}));
    // A copy shares nothing that changes.
    _LineMsg copy = message;
    copy.setWidth(1);
    EXPECT_EQ(message.width(), 640);
}

TEST(LineMsgDisplayText, MediaTypes)
{
    EXPECT_EQ(messageOfType(MessageType::Photo).displayText(), "[IMAGE]");
    EXPECT_EQ(messageOfType(MessageType::Video).displayText(), "[VIDEO]");
    EXPECT_EQ(messageOfType(MessageType::Voice).displayText(), "[VOICE]");
    _LineMsg sticker = messageOfType(MessageType::Sticker);
    EXPECT_EQ(sticker.displayText(), "[STICKER-0]");
    sticker.setSticker({52002734, 11537, 1});
    EXPECT_EQ(sticker.displayText(), "[STICKER-52002734]");
    _LineMsg file = messageOfType(MessageType::File);
    file.setFileName("見積書 %1.xlsx");
    EXPECT_EQ(file.displayText(), "見積書 %1.xlsx");
}

TEST(LineMsgDisplayText, ContactNameLosesLiteralLineBreaks)
{
    _LineMsg contact = messageOfType(MessageType::Contact);
    EXPECT_EQ(contact.displayText(), "Contact: ");
    contact.setContact("u1", "Taro\\r\\nYamada\\n%2");
    EXPECT_EQ(contact.displayText(), "Contact: Taro Yamada %2");
    // Real control characters are left alone; only the two-character escapes go.
    contact.setContact("u1", "a\nb");
    EXPECT_EQ(contact.displayText(), "Contact: a\nb");
}

TEST(LineMsgDisplayText, LocationNameTextOrWord)
{
    _LineMsg location = messageOfType(MessageType::Location);
    EXPECT_EQ(location.displayText(), "Location");
    location.text = "  Shibuya\\r\\nStation ";
    EXPECT_EQ(location.displayText(), "Shibuya Station");
    location.setLocation({1, 2, "  Tokyo Tower  "});
    EXPECT_EQ(location.displayText(), "Tokyo Tower");
    location.setLocation({1, 2, "   "});
    location.text = "\t";
    EXPECT_EQ(location.displayText(), "Location");
}

TEST(LineMsgDisplayText, TextAndUnknownTypesReplaceEmoji)
{
    _LineMsg text = messageOfType(MessageType::Text);
    text.text = QString::fromUcs4(U"Hi \uE001 there \U0001F600\u2714");
    EXPECT_EQ(text.displayText(), "Hi [EMOJI] there [EMOJI][EMOJI]");
    text.type = 99;
    EXPECT_EQ(text.displayText(), "Hi [EMOJI] there [EMOJI][EMOJI]");
    text.text = "plain";
    EXPECT_EQ(text.displayText(), "plain");
}

TEST(LineMsgVoiceLength, RoundsOnTheFirstDecimal)
{
    EXPECT_EQ(voiceOf(0).voiceLength(), "0:00");
    EXPECT_EQ(voiceOf(59'780).voiceLength(), "1:01");
    EXPECT_EQ(voiceOf(1'470).voiceLength(), "0:02");  // 1.5 s
    EXPECT_EQ(voiceOf(1'421).voiceLength(), "0:01");  // 1.45 s: only the first decimal counts
    EXPECT_EQ(voiceOf(73'500).voiceLength(), "1:15"); // 75 s
    EXPECT_EQ(voiceOf(4'900).voiceLength(), "0:05");
    EXPECT_EQ(voiceOf(980 * 3600).voiceLength(), "60:00");
    EXPECT_EQ(voiceOf(-4'900).voiceLength(), "0:00");
    EXPECT_EQ(messageOfType(MessageType::Voice).voiceLength(), "0:00");
}

TEST(MessageTypeCodes, WordsAndLineContentTypes)
{
    const QStringList words = {"text", "photo", "video", "voice", "sticker", "contact", "file", "location"};
    for (int code = 0; code < words.size(); ++code) {
        EXPECT_EQ(MessageType::word(code), words.at(code));
        EXPECT_EQ(MessageType::fromWord(words.at(code)), code);
        EXPECT_EQ(MessageType::fromWord(words.at(code).toUpper()), code);
        EXPECT_EQ(MessageType::fromIosContentType(MessageType::toIosContentType(code)), code);
    }
    EXPECT_EQ(MessageType::fromWord("Photo"), MessageType::Photo);
    EXPECT_EQ(MessageType::fromWord("gif"), MessageType::Text);
    EXPECT_EQ(MessageType::fromWord(""), MessageType::Text);
    EXPECT_EQ(MessageType::word(42), "text");
    EXPECT_EQ(MessageType::fromIosContentType(107), MessageType::Text);
    EXPECT_EQ(MessageType::fromIosContentType(112), MessageType::Photo);
    EXPECT_EQ(MessageType::fromIosContentType(100), MessageType::Location);
    EXPECT_EQ(MessageType::fromIosContentType(4), -1);
    EXPECT_EQ(MessageType::toIosContentType(MessageType::Sticker), 7);
    EXPECT_EQ(MessageType::knownIosContentTypes().size(), 10);
    for (int type : MessageType::knownIosContentTypes())
        EXPECT_GE(MessageType::fromIosContentType(type), 0);
}

TEST_F(LineImageUrlsTest, DefaultServers)
{
    EXPECT_EQ((_LineSticker{52002734, 11537, 1}).stickerImageUrl(),
              "http://dl.stickershop.line.naver.jp/products/0/0/1/11537/android/stickers/52002734.png");
    EXPECT_EQ(
        (_LineLocation{35.6812362, -139.76712, "x"}).mapImageUrl(),
        "http://maps.googleapis.com/maps/api/staticmap?zoom=16&size=600x389&scale=<scale>&maptype=roadmap"
        "&sensor=true&center=35.681236,-139.767120");
}

TEST_F(LineImageUrlsTest, ServersCanBeChanged)
{
    LineImageUrls::setStickerServer(" http://127.0.0.1:8080/ ");
    LineImageUrls::setMapServer("http://maps.example//");
    EXPECT_EQ(LineImageUrls::stickerServer(), "http://127.0.0.1:8080");
    EXPECT_EQ(LineImageUrls::stickerImage(3, 2, 1),
              "http://127.0.0.1:8080/products/0/0/1/2/android/stickers/3.png");
    EXPECT_TRUE(LineImageUrls::staticMapImage(0, 0).startsWith("http://maps.example/maps/api/staticmap?"));
    LineImageUrls::resetServers();
    EXPECT_EQ(LineImageUrls::mapServer(), LineImageUrls::defaultMapServer());
}

TEST_F(LineImageUrlsTest, EmojiServerIsEmptyByDefaultAndEmptyServersGiveNoAddress)
{
    EXPECT_TRUE(LineImageUrls::emojiServer().isEmpty());
    EXPECT_TRUE(LineImageUrls::emojiImage(QStringLiteral("1F600")).isEmpty());
    LineImageUrls::setEmojiServer(QStringLiteral("http://emoji.example/"));
    EXPECT_EQ(LineImageUrls::emojiImage(QStringLiteral("1F600")),
              "http://emoji.example/app_res/emoji/1F600.png");
    LineImageUrls::setStickerServer(QString());
    LineImageUrls::setMapServer(QStringLiteral(" / "));
    EXPECT_TRUE((_LineSticker{1, 2, 3}).stickerImageUrl().isEmpty());
    EXPECT_TRUE((_LineLocation{1, 2, "x"}).mapImageUrl().isEmpty());
    LineImageUrls::resetServers();
    EXPECT_TRUE(LineImageUrls::emojiServer().isEmpty());
    EXPECT_EQ(LineImageUrls::stickerServer(), LineImageUrls::defaultStickerServer());
}

TEST(LineMsgTranslations, LabelsFollowTheInstalledLanguage)
{
    QTranslator japanese;
    ASSERT_TRUE(japanese.load(QStringLiteral(":/ja_JP.qm")));
    QCoreApplication::installTranslator(&japanese);
    _LineMsg sticker = messageOfType(MessageType::Sticker);
    sticker.setSticker({7, 0, 0});
    _LineGroup group;
    group.name = "F";
    EXPECT_EQ(messageOfType(MessageType::Photo).displayText(), "[写真]");
    EXPECT_EQ(sticker.displayText(), "[スタンプ-7]");
    EXPECT_EQ(messageOfType(MessageType::Location).displayText(), "位置情報");
    EXPECT_EQ(_LineUser().displayName(), "不明");
    EXPECT_EQ(group.groupTitle(false), "[グループ] F");
    QCoreApplication::removeTranslator(&japanese);
    EXPECT_EQ(messageOfType(MessageType::Photo).displayText(), "[IMAGE]");
}
