// Exact output of each export format on the chat fixture, driven through the export job as the program
// runs it, and the rules the formats share (CSV quoting, chat file names).
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "export/ChatFileName.h"
#include "export/ExportMessagesCsv.h"
#include "export/ExportMessagesLineTxt.h"
#include "export/ExportMessagesTxt.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"
#include "line/LineImageUrls.h"
#include "line/LineUser.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class ExportFormatsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useEnglishTexts();
        // No outside services: stickers, maps and emoji show as text.
        LineImageUrls::setStickerServer(QString());
        LineImageUrls::setMapServer(QString());
    }
    void TearDown() override { LineImageUrls::resetServers(); }

    // Exports the fixture in a format to out/<name> and returns the path.
    QString exportTo(int format, const QString& name)
    {
        const QString path = QDir(m_out.path()).filePath(name);
        RecordingProgressForm form;
        ExportMessagesThread job(m_fixture.source(), path, format, &form, QStringLiteral("Owner"));
        runExport(job);
        EXPECT_TRUE(form.errors.isEmpty()) << form.errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(form.successes, QStringList{QStringLiteral("Successfully exported 12 Messages.")});
        EXPECT_EQ(job.exportedCount(), 12);
        return path;
    }

    ChatFixture m_fixture;
    QTemporaryDir m_out;
};

} // namespace

TEST_F(ExportFormatsTest, PlainTextIsExact)
{
    const QString path = exportTo(MessageExporter::PlainText, QStringLiteral("chat.txt"));
    expectGolden(readFileBytes(path), QStringLiteral("fixture.txt"));
}

TEST_F(ExportFormatsTest, DocIsThePlainTextInADocFile)
{
    const QByteArray text = readFileBytes(exportTo(MessageExporter::PlainText, QStringLiteral("chat.txt")));
    const QByteArray doc = readFileBytes(exportTo(MessageExporter::PlainText, QStringLiteral("chat.doc")));
    EXPECT_EQ(doc, text);
}

TEST_F(ExportFormatsTest, CsvIsExact)
{
    const QString path = exportTo(MessageExporter::Csv, QStringLiteral("chat.csv"));
    expectGolden(readFileBytes(path), QStringLiteral("fixture.csv"));
}

TEST_F(ExportFormatsTest, LineTextIsExactPerChat)
{
    const QString folder = exportTo(MessageExporter::LineText, QStringLiteral("line-txt"));
    // A room of several people is named after the room, not after its first member.
    const QStringList expectedFiles = {
        QStringLiteral(
            "US-Chat%20history%20in%20%22Bob%20%3Cb%3E%26amp%3B%2CCarol%20%22C%22%20%F0%9F%98%80%22.txt"),
        QStringLiteral("US-Chat%20history%20in%20%22Team%2C%C2%A0%22A%22%E2%80%AA%20%3Cx%3E%22.txt"),
        QStringLiteral("US-Chat%20history%20with%20Alice.txt"),
    };
    ASSERT_EQ(filesBelow(folder), expectedFiles);
    const QStringList goldens = {QStringLiteral("fixture-line-room.txt"),
                                 QStringLiteral("fixture-line-group.txt"),
                                 QStringLiteral("fixture-line-single.txt")};
    static const QRegularExpression savedOn(
        QStringLiteral("^Saved on: \\d\\d/\\d\\d/\\d{4}, \\d\\d:\\d\\d [AP]M$"));
    for (int i = 0; i < expectedFiles.size(); ++i) {
        QByteArray bytes = readFileBytes(QDir(folder).filePath(expectedFiles[i]));
        QList<QByteArray> lines = bytes.split('\n');
        ASSERT_GT(lines.size(), 2);
        EXPECT_TRUE(savedOn.match(QString::fromUtf8(lines[1].chopped(1))).hasMatch())
            << lines[1].toStdString();
        lines[1] = "Saved on: <now>\r";
        expectGolden(lines.join('\n'), goldens[i]);
    }
}

TEST_F(ExportFormatsTest, LineTextHeadingTakesTheGivenTime)
{
    const QString path = QDir(m_out.path()).filePath(QStringLiteral("one.txt"));
    {
        ExportMessagesLineTxt exporter(QString(), QStringLiteral("Alice"), false, path, nullptr,
                                       QDateTime(QDate(2024, 12, 31), QTime(23, 5)));
        exporter.begin();
        exporter.writeMessage(m_fixture.messages[1]);
        exporter.end();
    }
    EXPECT_EQ(readFileBytes(path),
              "Chat history with Alice\r\nSaved on: 12/31/2024, 11:05 PM\r\n\r\nWed, 3/1/2023\r\n"
              "09:16\tMe\tMorning!\r\nSee you at 10, OK?\r\n");
}

TEST_F(ExportFormatsTest, HtmlPagesAreExact)
{
    const QString folder = exportTo(MessageExporter::Html, QStringLiteral("html"));
    const QDir dir(folder);
    const QString groupPage = QStringLiteral("GROUP_Team,A x_c002.html");
    const QString singlePage = QStringLiteral("Alice_u001.html");
    const QString roomPage = QStringLiteral("MULTI_r003.html");
    expectGolden(readFileBytes(dir.filePath(groupPage)), QStringLiteral("fixture-group.html"));
    expectGolden(readFileBytes(dir.filePath(singlePage)), QStringLiteral("fixture-single.html"));
    expectGolden(readFileBytes(dir.filePath(roomPage)), QStringLiteral("fixture-room.html"));

    QStringList files = filesBelow(folder);
    QStringList pages = files.filter(QRegularExpression(QStringLiteral("^[^/]+$")));
    EXPECT_EQ(pages, (QStringList{singlePage, groupPage, roomPage, QStringLiteral("index.html")}));
    // the media copies, each under a name of its own, with the bubble images and the style sheet
    EXPECT_TRUE(files.contains(QStringLiteral("files/photo1.jpg")));
    EXPECT_TRUE(files.contains(QStringLiteral("files/clip.mp4")));
    EXPECT_TRUE(files.contains(QStringLiteral("files/voice1")));
    EXPECT_TRUE(files.contains(QStringLiteral("files/report.pdf")));
    EXPECT_TRUE(files.contains(QStringLiteral("files/style.css")));
    EXPECT_TRUE(files.contains(QStringLiteral("files/bb1_05.png")));
    EXPECT_EQ(readFileBytes(dir.filePath(QStringLiteral("files/photo1.jpg"))),
              readFileBytes(m_fixture.mediaPath(QStringLiteral("photo1"))));
}

TEST_F(ExportFormatsTest, HostileTextsNeverBecomeMarkup)
{
    const QString folder = exportTo(MessageExporter::Html, QStringLiteral("html"));
    for (const QString& page :
         filesBelow(folder).filter(QRegularExpression(QStringLiteral("^[^/]+\\.html$")))) {
        const QString html = QString::fromUtf8(readFileBytes(QDir(folder).filePath(page)));
        EXPECT_FALSE(html.contains(QLatin1String("<script"))) << page.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<b>"))) << page.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<img src=x"))) << page.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<d>"))) << page.toStdString();
        EXPECT_FALSE(html.contains(QLatin1String("<1>"))) << page.toStdString();
    }
}

TEST(CsvFieldTest, QuotesOnlyWhenNeeded)
{
    EXPECT_EQ(csvField(QStringLiteral("plain")), QStringLiteral("plain"));
    EXPECT_EQ(csvField(QStringLiteral("a,b")), QStringLiteral("\"a,b\""));
    EXPECT_EQ(csvField(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(csvField(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));
    // a carriage return is a line break to CSV readers: quoted like a line feed
    EXPECT_EQ(csvField(QStringLiteral("carriage\rreturn")), QStringLiteral("\"carriage\rreturn\""));
    EXPECT_EQ(csvField(QString()), QString());
    EXPECT_EQ(csvField(QStringLiteral("\"")), QStringLiteral("\"\"\"\""));
}

TEST(CsvWriterTest, AFieldWithALoneCarriageReturnIsQuoted)
{
    ChatFixture fixture;
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("cr.csv"));
    _LineMsg message = fixture.messages[0];
    message.text = QStringLiteral("first\rsecond");
    ExportMessagesCsv csv(path);
    csv.begin();
    csv.writeMessage(message);
    csv.end();
    // Read as spreadsheets read it: the record ends at the first line break outside quotes.
    const QByteArray bytes = readFileBytes(path);
    EXPECT_TRUE(bytes.endsWith(",\"first\rsecond\"\r\n")) << bytes.toStdString();
}

TEST(ChatFileNameTest, NamesByChatType)
{
    ChatFixture fixture;
    EXPECT_EQ(chatFileName(fixture.single, 1), QStringLiteral("Alice_u001"));
    EXPECT_EQ(chatFileName(fixture.single, 2), QStringLiteral("Alice_2_u001"));
    EXPECT_EQ(chatFileName(fixture.room, 1), QStringLiteral("MULTI_r003"));
    EXPECT_EQ(chatFileName(fixture.room, 3), QStringLiteral("MULTI_3_r003"));
    // no-break space and U+202A go, so do the characters Windows refuses
    EXPECT_EQ(chatFileName(fixture.group, 1), QStringLiteral("GROUP_Team,A x_c002"));
    fixture.team->name.clear();
    EXPECT_EQ(chatFileName(fixture.group, 1), QStringLiteral("GROUP_NONAME_c002"));
    fixture.group->group = nullptr;
    EXPECT_EQ(chatFileName(fixture.group, 1), QStringLiteral("GROUP_UNKNOWN_c002"));
    EXPECT_EQ(chatFileName(nullptr, 1), QStringLiteral("UNKNOWN"));
}

TEST(ChatFileNameTest, RemovesLineBreaksTabsAndEmbeddingMarks)
{
    _LineUser user;
    user.addressBookName = QStringLiteral("\u202AAnn\u00A0Lee\u202C\t\r\n/x:y");
    _LineChat chat;
    chat.uid = QStringLiteral("u1");
    chat.members.insert(&user);
    EXPECT_EQ(chatFileName(&chat, 1), QStringLiteral("AnnLeexy_u1"));
    user.addressBookName = QStringLiteral("con");
    EXPECT_EQ(chatFileName(&chat, 1), QStringLiteral("con_u1"));
}

TEST(ChatFileNameTest, LongTitlesAreCutToDistinctNames)
{
    _LineUser user;
    user.addressBookName = QString(150, QChar(0x5C71)); // 450 UTF-8 bytes
    _LineChat chat;
    chat.uid = QStringLiteral("u1");
    chat.members.insert(&user);
    const QString first = chatFileName(&chat, 1);
    EXPECT_LE(first.toUtf8().size(), 200);
    EXPECT_TRUE(first.contains(QLatin1Char('~')));
    user.addressBookName[149] = QChar(0x5DDD);
    EXPECT_NE(chatFileName(&chat, 1), first);
    // whole code points only
    user.addressBookName = QString(60, QChar(0x41)) + QString::fromUtf16(u"\U0001F600").repeated(60);
    const QString emoji = chatFileName(&chat, 1);
    EXPECT_LE(emoji.toUtf8().size(), 200);
    EXPECT_FALSE(emoji.toUtf8().contains("\xEF\xBF\xBD"));
    EXPECT_EQ(QString::fromUtf8(emoji.toUtf8()), emoji);
}
