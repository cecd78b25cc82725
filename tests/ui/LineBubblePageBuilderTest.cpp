// The bubble page builder: paging, day separators, sender lines, media links, escaping and emoji.
#include "ui/LineBubblePageBuilder.h"
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "export/BubbleMarkup.h"
#include "line/LineImageUrls.h"
#include "line/MessageType.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class LineBubblePageBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useEnglishTexts();
        LineImageUrls::setStickerServer(QString());
        LineImageUrls::setMapServer(QString());
    }
    void TearDown() override { LineImageUrls::resetServers(); }

    static QString page(const PAbsLineMsgsSource& source, qint64 number)
    {
        return LineBubblePageBuilder::build(*source, source->count(), number);
    }
    // The page of the fixture cut into one piece per message (after each message anchor).
    static QStringList bubbles(const QString& html)
    {
        QStringList pieces = html.split(QRegularExpression(QStringLiteral("<a name=\"sms_\\d+\"></a>")));
        pieces.removeFirst();
        return pieces;
    }

    ChatFixture m_fixture;
};

} // namespace

TEST_F(LineBubblePageBuilderTest, FiftyMessagesMakeOnePageWithoutPagingLinks)
{
    GeneratedMessages fifty(50, 3);
    EXPECT_EQ(LineBubblePageBuilder::pageCount(50), 1);
    const QString html = page(fifty.source(), 1);
    EXPECT_TRUE(
        html.startsWith(QLatin1String("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"")));
    EXPECT_TRUE(html.contains(QLatin1String("<title>Bubble</title>")));
    EXPECT_TRUE(html.contains(
        QLatin1String("<link href=\"linebb/style.css\" type=\"text/css\" rel=\"stylesheet\"/>")));
    EXPECT_TRUE(html.contains(QLatin1String("<body><a name=\"start\"></a>")));
    EXPECT_TRUE(html.endsWith(QLatin1String("<a name=\"end\"></a></body></html>\n")));
    EXPECT_EQ(html.count(QLatin1String("<a name=\"sms_")), 50);
    EXPECT_FALSE(html.contains(QLatin1String("/pre_page")));
    EXPECT_FALSE(html.contains(QLatin1String("/next_page")));
}

TEST_F(LineBubblePageBuilderTest, FiftyOneMessagesMakeTwoPages)
{
    GeneratedMessages many(51, 3);
    EXPECT_EQ(LineBubblePageBuilder::pageCount(51), 2);
    const QString first = page(many.source(), 1);
    const QString second = page(many.source(), 2);
    EXPECT_TRUE(first.contains(QLatin1String("<p><a href=\"/next_page\">&gt;&gt;Next Page</a></p>")));
    EXPECT_FALSE(first.contains(QLatin1String("/pre_page")));
    EXPECT_TRUE(second.contains(QLatin1String("<p><a href=\"/pre_page\">&lt;&lt;Previous Page</a></p>")));
    EXPECT_FALSE(second.contains(QLatin1String("/next_page")));
    EXPECT_EQ(second.count(QLatin1String("<a name=\"sms_")), 1);
    EXPECT_TRUE(second.contains(QLatin1String("<a name=\"sms_51\"></a>")));
    // a page always opens with its day, even when the day began on the page before
    EXPECT_EQ(second.count(QLatin1String("<div class=\"r\">")), 1);
    EXPECT_TRUE(page(many.source(), 0).isEmpty());
    EXPECT_TRUE(page(many.source(), 3).isEmpty());
    EXPECT_EQ(LineBubblePageBuilder::pageCount(0), 0);
    EXPECT_EQ(LineBubblePageBuilder::pageOfIndex(49), 1);
    EXPECT_EQ(LineBubblePageBuilder::pageOfIndex(50), 2);
}

TEST_F(LineBubblePageBuilderTest, OneSeparatorPerDayAndANewOneAfterMidnight)
{
    const QStringList pieces = bubbles(page(m_fixture.source(), 1));
    ASSERT_EQ(pieces.size(), 13);
    const QString separator = QStringLiteral("<div class=\"r\">");
    EXPECT_TRUE(
        pieces[0].contains(separator + BubbleMarkup::frameDivs() + QStringLiteral("01 Mar 2023</div>")));
    for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 11, 12})
        EXPECT_FALSE(pieces[i].contains(separator)) << i;
    // 23:59:59 and then 00:00:01: the next day
    EXPECT_TRUE(pieces[6].contains(QLatin1String("02 Mar 2023</div>")));
    EXPECT_TRUE(pieces[10].contains(QLatin1String("04 Mar 2023</div>")));
}

TEST_F(LineBubblePageBuilderTest, SenderNamesOnlyForReceivedMessagesInRoomsAndGroups)
{
    const QStringList pieces = bubbles(page(m_fixture.source(), 1));
    EXPECT_FALSE(pieces[0].contains(QLatin1String("class=\"handle\""))); // single chat
    EXPECT_TRUE(pieces[2].contains(
        QLatin1String("<div class=\"handle\">Bob &lt;b&gt;&amp;amp;</div><div class=\"bb1\">")));
    EXPECT_FALSE(pieces[3].contains(QLatin1String("class=\"handle\""))); // the owner's photo in the group
    EXPECT_TRUE(pieces[3].contains(QLatin1String("<div class=\"bb2\">")));
    EXPECT_TRUE(
        pieces[7].contains(QStringLiteral("<div class=\"handle\">Carol \"C\" \U0001F600</div>"))); // room
    EXPECT_TRUE(pieces[0].contains(
        QLatin1String("<div class=\"bb_time\">09:15 AM</div></div><div class=\"clear\"></div>")));
}

TEST_F(LineBubblePageBuilderTest, MediaLinkToAttachmentsAndFallBackToThePlaceholder)
{
    const QStringList pieces = bubbles(page(m_fixture.source(), 1));
    const QString photoLink =
        LineBubblePageBuilder::attachmentLink(m_fixture.messages[3].filePath, QStringLiteral("jpg"));
    const QString thumbUrl =
        QUrl::fromLocalFile(m_fixture.messages[3].thumbPath).toString(QUrl::FullyEncoded);
    EXPECT_TRUE(pieces[3].contains(
        QStringLiteral("<div><a href=\"%1\"><img style=\"max-width:128px;max-height:128px;\" "
                       "src=\"%2\" ></a></div>")
            .arg(QString(photoLink).replace(QLatin1String("&"), QLatin1String("&amp;")), thumbUrl)));
    // the video has no thumbnail: the placeholder, still linked to the video
    EXPECT_TRUE(pieces[4].contains(QLatin1String("src=\"linebb/empty_photo.jpg\"")));
    EXPECT_TRUE(pieces[4].contains(QLatin1String("&amp;sf=mp4\"")));
    EXPECT_TRUE(
        pieces[5].contains(QLatin1String("<img width=\"32px\" src=\"linebb/voice.png\" align=\"middle\"/>")));
    EXPECT_TRUE(pieces[5].contains(QLatin1String("&amp;sf=aac\">1:15</a>")));
    EXPECT_TRUE(pieces[8].contains(QLatin1String("&amp;sf=pdf\">report &lt;1&gt;, \"final\".pdf</a>")));
    EXPECT_TRUE(pieces[7].contains(QLatin1String("Contact:<br/>Dave Smith &lt;d&gt;")));
}

TEST_F(LineBubblePageBuilderTest, StoredTextNeverBecomesMarkup)
{
    const QString html = page(m_fixture.source(), 1);
    EXPECT_FALSE(html.contains(QLatin1String("<script")));
    EXPECT_FALSE(html.contains(QLatin1String("<b>")));
    EXPECT_FALSE(html.contains(QLatin1String("<img src=x")));
    EXPECT_TRUE(html.contains(
        QLatin1String("&lt;script&gt;alert(\"x\")&lt;/script&gt; &amp; &lt;b&gt;bold&lt;/b&gt;")));
    EXPECT_TRUE(html.contains(QLatin1String("Line1<br/>Line2<br/>Tail, with \"quotes\"")));

    // a file name built to leave its attribute and its element
    _LineMsg file = m_fixture.messages[8];
    file.setFileName(QStringLiteral("x\" onmouseover=\"alert(1)\"><script>.pdf"));
    file.filePath = QStringLiteral("/tmp/a\"b<c>.pdf");
    const QString bubble = LineBubblePageBuilder::bubble(file);
    EXPECT_FALSE(bubble.contains(QLatin1String("<script")));
    // the link is hexadecimal; the name is the link's text, where quotes are harmless
    static const QRegularExpression link(QStringLiteral(
        "<a href=\"atta:///\\?ph=[0-9a-f]+&amp;sf=pdf\">x\" onmouseover=\"alert\\(1\\)\"&gt;&lt;script&gt;"
        "\\.pdf</a>"));
    EXPECT_TRUE(link.match(bubble).hasMatch()) << bubble.toStdString();
}

TEST_F(LineBubblePageBuilderTest, EmojiAreCharactersWithoutAnEmojiServiceAndImagesWithOne)
{
    const QString text = LineBubblePageBuilder::bubble(m_fixture.messages[11]);
    EXPECT_TRUE(text.contains(QStringLiteral("Done \u2705 [EMOJI] \u203C<div class=\"bb_time\">")));
    EXPECT_TRUE(LineBubblePageBuilder::bubble(m_fixture.messages[0])
                    .contains(QStringLiteral("Good morning \U0001F600")));
    LineImageUrls::setEmojiServer(QStringLiteral("http://emoji.example"));
    EXPECT_TRUE(
        LineBubblePageBuilder::bubble(m_fixture.messages[0])
            .contains(QLatin1String("Good morning <img src=\"http://emoji.example/app_res/emoji/1F600.png\" "
                                    "style=\"vertical-align:top;\"/>")));
    EXPECT_TRUE(LineBubblePageBuilder::bubble(m_fixture.messages[11])
                    .contains(QLatin1String("/app_res/emoji/E001.png")));
}

TEST_F(LineBubblePageBuilderTest, StickersAndMapsLinkTheirServicesWhenConfigured)
{
    EXPECT_TRUE(LineBubblePageBuilder::bubble(m_fixture.messages[6])
                    .contains(QLatin1String("<div>[STICKER-52002734]</div>")));
    EXPECT_TRUE(LineBubblePageBuilder::bubble(m_fixture.messages[9])
                    .contains(QLatin1String("bottom_right\"></div>Tokyo Station<br/>1-9-1 Marunouchi<div")));
    LineImageUrls::resetServers();
    const QString sticker =
        QStringLiteral("http://dl.stickershop.line.naver.jp/products/0/0/1/11537/android/stickers/"
                       "52002734.png");
    EXPECT_TRUE(
        LineBubblePageBuilder::bubble(m_fixture.messages[6])
            .contains(QStringLiteral("<div><a href=\"%1\"><img style=\"max-width:128px;max-height:128px;\" "
                                     "src=\"%1\" alt=\"Sticker\"></a></div>")
                          .arg(sticker)));
    EXPECT_TRUE(
        LineBubblePageBuilder::bubble(m_fixture.messages[9])
            .contains(QLatin1String("<a href=\"http://maps.googleapis.com/maps/api/staticmap?zoom=16&amp;"
                                    "size=600x389&amp;scale=1&amp;maptype=roadmap&amp;sensor=true&amp;"
                                    "center=35.681236,139.767125\">Tokyo Station<br/>1-9-1 Marunouchi</a>")));
}

TEST_F(LineBubblePageBuilderTest, AttachmentLinksCarryThePathAsHex)
{
    const QString path = QStringLiteral("/data/\u5199\u771F/a b&c");
    const QUrl url(LineBubblePageBuilder::attachmentLink(path, QStringLiteral("jpg")));
    EXPECT_EQ(url.scheme(), QStringLiteral("atta"));
    EXPECT_EQ(
        QString::fromUtf8(QByteArray::fromHex(url.query().section(QLatin1Char('&'), 0, 0).mid(3).toLatin1())),
        path);
    EXPECT_TRUE(url.query().endsWith(QLatin1String("&sf=jpg")));
}

TEST_F(LineBubblePageBuilderTest, ImagesShowWebAddressesAndLocalFilesButNotEmptyOnes)
{
    QTemporaryDir dir;
    const QString empty = QDir(dir.path()).filePath(QStringLiteral("empty.jpg"));
    writeFileBytes(empty, QByteArray());
    EXPECT_TRUE(LineBubblePageBuilder::imageLink(QStringLiteral("l"), empty, 64, QString())
                    .contains(QLatin1String("src=\"linebb/empty_photo.jpg\"")));
    EXPECT_TRUE(LineBubblePageBuilder::imageLink(QStringLiteral("l"),
                                                 QStringLiteral("http://x/y.png?a=1&b=2"), 64, QString())
                    .contains(QLatin1String("src=\"http://x/y.png?a=1&amp;b=2\"")));
    EXPECT_TRUE(LineBubblePageBuilder::imageLink(QStringLiteral("l"), QString(), 64, QString())
                    .contains(QLatin1String("max-width:64px;max-height:64px;")));
}
