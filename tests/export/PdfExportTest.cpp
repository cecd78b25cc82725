// PDF export read back as a person reads it: the text with pdftotext, the pages as pictures with pdftoppm
// (kept under <build>/test-artifacts). Driven through the export job, as the program and ferrowyn-cli run it.
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "PdfTestSupport.h"
#include "TestFiles.h"
#include "app/JobControl.h"
#include "export/ExportMessagesPdf.h"
#include "export/PrintPhoto.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineImageUrls.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

using namespace PdfTestSupport;

namespace {

// One single chat with a friend, filled by the test.
class OneChat
{
public:
    OneChat()
    {
        m_friend.id = 1;
        m_friend.uid = QStringLiteral("u1");
        m_friend.name = QStringLiteral("Friend");
        m_chat.id = 1;
        m_chat.uid = QStringLiteral("u1");
        m_chat.members.insert(&m_friend);
    }

    _LineMsg& add(bool fromFriend, const QString& text, const QDateTime& time, int type = MessageType::Text)
    {
        _LineMsg message;
        message.id = messages.size() + 1;
        message.uid = QString::number(message.id);
        message.type = type;
        message.time = time;
        message.text = text;
        message.chat = &m_chat;
        message.sender = fromFriend ? &m_friend : nullptr;
        messages.append(message);
        return messages.last();
    }
    PAbsLineMsgsSource source() const { return std::make_shared<LineMsgsListSource>(messages); }

    QList<_LineMsg> messages;

private:
    _LineUser m_friend;
    _LineChat m_chat;
};

const QDateTime kMorning(QDate(2024, 5, 6), QTime(8, 0));

class PdfExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useEnglishTexts();
        LineImageUrls::setStickerServer(QString());
        LineImageUrls::setMapServer(QString());
    }
    void TearDown() override { LineImageUrls::resetServers(); }

    QString out(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    // Exports through the job; the form gets its reports.
    void exportPdf(const PAbsLineMsgsSource& source, const QString& folder, RecordingProgressForm& form)
    {
        ExportMessagesThread job(source, folder, MessageExporter::Pdf, &form, QString());
        runExport(job);
        EXPECT_TRUE(form.errors.isEmpty()) << form.errors.join(QLatin1Char('\n')).toStdString();
    }
    void exportPdf(const PAbsLineMsgsSource& source, const QString& folder)
    {
        RecordingProgressForm form;
        exportPdf(source, folder, form);
    }

    QTemporaryDir m_dir;
};

// The page numbers pdftotext finds on each page: lines holding only digits.
QStringList pageNumbers(const QStringList& pages)
{
    static const QRegularExpression number(QStringLiteral("^\\d+$"), QRegularExpression::MultilineOption);
    QStringList numbers;
    for (const QString& page : pages) {
        QStringList found;
        for (auto it = number.globalMatch(page); it.hasNext();)
            found << it.next().captured(0);
        numbers << found.join(QLatin1Char(' '));
    }
    return numbers;
}

// The bounding box of the pixels close to a colour.
QRect areaOf(const QImage& image, QColor colour, int tolerance = 40)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (std::abs(qRed(line[x]) - colour.red()) <= tolerance &&
                std::abs(qGreen(line[x]) - colour.green()) <= tolerance &&
                std::abs(qBlue(line[x]) - colour.blue()) <= tolerance)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

TEST_F(PdfExportTest, EachChatIsAFileWithEveryTextSenderAndDateBanner)
{
    ChatFixture fixture;
    const QString folder = out(QStringLiteral("chats-pdf"));
    RecordingProgressForm form;
    exportPdf(fixture.source(), folder, form);
    EXPECT_EQ(form.successes, QStringList{QStringLiteral("Successfully exported 12 Messages.")});
    ASSERT_EQ(filesBelow(folder),
              (QStringList{QStringLiteral("Alice_u001.pdf"), QStringLiteral("GROUP_Team,A x_c002.pdf"),
                           QStringLiteral("MULTI_r003.pdf")}));
    ASSERT_FALSE(form.progress.isEmpty());
    EXPECT_EQ(form.progress.first().status, QStringLiteral("Exporting Messages..."));
    EXPECT_TRUE(form.progress.last().text.endsWith(QLatin1String(": 12/12")) ||
                form.progress.last().text == QStringLiteral("Messages: 12/12"))
        << form.progress.last().text.toStdString();

    // Compared with runs of white space made one space: pdftotext breaks lines where a font changes.
    const QString single = pdfText(QDir(folder).filePath(QStringLiteral("Alice_u001.pdf"))).simplified();
    for (const char* expected :
         {"Good morning \xF0\x9F\x98\x80", "Morning!", "See you at 10, OK?", "[VOICE]", "[STICKER-52002734]",
          "Line1", "Line2", "Tail, with \"quotes\"", "Alice", "09:15 am", "11:59 pm"})
        EXPECT_TRUE(single.contains(QString::fromUtf8(expected))) << expected << "\n" << single.toStdString();
    // three days, three banners, in order
    const qsizetype first = single.indexOf(QLatin1String("01 Mar 2023"));
    const qsizetype second = single.indexOf(QLatin1String("02 Mar 2023"));
    const qsizetype fourth = single.indexOf(QLatin1String("04 Mar 2023"));
    EXPECT_TRUE(first >= 0 && first < second && second < fourth) << single.toStdString();
    EXPECT_EQ(single.count(QLatin1String("01 Mar 2023")), 1);
    EXPECT_EQ(pageNumbers(pdfPages(QDir(folder).filePath(QStringLiteral("Alice_u001.pdf")))),
              QStringList{"1"});

    const QString group =
        pdfText(QDir(folder).filePath(QStringLiteral("GROUP_Team,A x_c002.pdf"))).simplified();
    for (const char* expected :
         {"<script>alert(\"x\")</script> & <b>bold</b>", "Tokyo Station", "1-9-1 Marunouchi",
          "Done \xE2\x9C\x85 [EMOJI] \xE2\x80\xBC", "Bob <b>&amp;", "Carol \"C\" \xF0\x9F\x98\x80"})
        EXPECT_TRUE(group.contains(QString::fromUtf8(expected))) << expected << "\n" << group.toStdString();
    const QString room = pdfText(QDir(folder).filePath(QStringLiteral("MULTI_r003.pdf"))).simplified();
    for (const char* expected : {"Contact:", "Dave\\nSmith <d>", "report <1>, \"final\".pdf"})
        EXPECT_TRUE(room.contains(QString::fromUtf8(expected))) << expected << "\n" << room.toStdString();
    EXPECT_FALSE(room.contains(QLatin1String("lost message")));
}

TEST_F(PdfExportTest, JapaneseChineseAndEmojiReadBackAsText)
{
    OneChat chat;
    const QStringList texts = {QStringLiteral("日本語の文章です。一人で大山に登る。"),
                               QStringLiteral("中文測試：今天天氣很好，文字"),
                               QStringLiteral("絵文字 😀🎉👍🏽 and ✅"),
                               QStringLiteral("家族 👨‍👩‍👧 office"),
                               QStringLiteral("fine ligatures: office, file, flow"),
                               QStringLiteral("עברית וערבית: مرحبا")};
    for (int i = 0; i < texts.size(); ++i)
        chat.add(i % 2 == 0, texts[i], kMorning.addSecs(60 * i));
    const QString folder = out(QStringLiteral("cjk"));
    exportPdf(chat.source(), folder);
    const QString text = pdfText(QDir(folder).filePath(QStringLiteral("Friend_u1.pdf"))).simplified();
    // pdftotext may put a space where a run of emoji from the colour font meets the next: compared
    // without spaces
    const QString packed = QString(text).remove(QLatin1Char(' '));
    for (const QString& expected : texts.mid(0, 5))
        EXPECT_TRUE(packed.contains(QString(expected).remove(QLatin1Char(' '))))
            << expected.toStdString() << "\n"
            << text.toStdString();
    // right-to-left text keeps its letters (the order of the words is the reader's business)
    for (const QString& word : {QStringLiteral("עברית"), QStringLiteral("مرحبا")}) {
        QString reversed = word;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_TRUE(text.contains(word) || text.contains(reversed)) << word.toStdString() << "\n"
                                                                    << text.toStdString();
    }
    pdfPagePicture(QDir(folder).filePath(QStringLiteral("Friend_u1.pdf")), 1,
                   QStringLiteral("pdf-cjk-emoji"));
}

TEST_F(PdfExportTest, ReceivedLeftSentRightAndPhotosScaled)
{
    QTemporaryDir media;
    const auto picture = [&](const QString& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = QDir(media.path()).filePath(name);
        EXPECT_TRUE(image.save(path, "PNG")); // not a JPEG: read as PNG after the JPEG attempt
        return path;
    };
    OneChat chat;
    chat.add(true, QStringLiteral("received on the left"), kMorning);
    chat.add(false, QStringLiteral("sent on the right"), kMorning.addSecs(60));
    chat.add(true, QString(), kMorning.addSecs(120), MessageType::Photo).thumbPath =
        picture(QStringLiteral("wide"), QSize(300, 100), QColor(255, 0, 0));
    chat.add(false, QString(), kMorning.addSecs(180), MessageType::Video).thumbPath =
        picture(QStringLiteral("tall"), QSize(150, 400), QColor(0, 0, 255));
    chat.add(true, QString(), kMorning.addSecs(240), MessageType::Photo).thumbPath =
        picture(QStringLiteral("square"), QSize(200, 200), QColor(255, 0, 255));
    chat.add(false, QString(), kMorning.addSecs(300), MessageType::Photo).thumbPath =
        QDir(media.path()).filePath(QStringLiteral("missing"));
    const QString folder = out(QStringLiteral("look"));
    exportPdf(chat.source(), folder);
    const QImage page = pdfPagePicture(QDir(folder).filePath(QStringLiteral("Friend_u1.pdf")), 1,
                                       QStringLiteral("pdf-bubbles"));
    ASSERT_FALSE(page.isNull());
    const int middle = page.width() / 2;

    // white received bubbles on the left, green sent ones on the right (white text of the date banner and
    // the sender names aside)
    const auto count = [&page](QColor colour, int tolerance, int from, int to) {
        int pixels = 0;
        for (int y = 0; y < page.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
            for (int x = from; x < to; ++x)
                pixels += std::abs(qRed(line[x]) - colour.red()) <= tolerance &&
                          std::abs(qGreen(line[x]) - colour.green()) <= tolerance &&
                          std::abs(qBlue(line[x]) - colour.blue()) <= tolerance;
        }
        return pixels;
    };
    const QColor white(255, 255, 255);
    const QColor green(0x8D, 0xE0, 0x55);
    EXPECT_GT(count(white, 4, 0, middle), 10 * count(white, 4, middle, page.width()));
    EXPECT_GT(count(green, 10, middle, page.width()), 10 * std::max(1, count(green, 10, 0, middle)));
    const QRect sent = areaOf(page, green, 10);
    EXPECT_GT(sent.right(), page.width() - 40);

    // 300 x 100 -> 200 wide, 150 x 400 -> 200 high, 200 x 200 unchanged (one pixel of resampling allowed)
    const QRect wide = areaOf(page, QColor(255, 0, 0));
    const QRect tall = areaOf(page, QColor(0, 0, 255));
    const QRect square = areaOf(page, QColor(255, 0, 255));
    EXPECT_NEAR(wide.width(), 200, 1);
    EXPECT_NEAR(wide.height(), 67, 1);
    EXPECT_NEAR(tall.width(), 75, 1);
    EXPECT_NEAR(tall.height(), 200, 1);
    EXPECT_NEAR(square.width(), 200, 1);
    EXPECT_NEAR(square.height(), 200, 1);
    EXPECT_LT(wide.left(), middle);
    EXPECT_GT(tall.left(), middle);
}

TEST_F(PdfExportTest, LongChatsGoOnInFurtherFilesWithTheirPageNumbers)
{
    OneChat chat;
    const int count = 2600;
    for (int i = 0; i < count; ++i)
        chat.add(i % 5 == 0, QStringLiteral("message %1").arg(i), kMorning.addSecs(i * 40));
    // one message longer than a page: its lines go on over the following pages
    QStringList lines;
    for (int i = 0; i < 150; ++i)
        lines << QStringLiteral("tall line %1").arg(i);
    chat.messages.insert(1000, chat.messages[1000]);
    chat.messages[1000].text = lines.join(QLatin1Char('\n')); // before "message 1000"

    const QString folder = out(QStringLiteral("long"));
    RecordingProgressForm form;
    exportPdf(chat.source(), folder, form);
    EXPECT_EQ(form.successes,
              QStringList{QStringLiteral("Successfully exported %1 Messages.").arg(count + 1)});
    const QStringList files = filesBelow(folder);
    ASSERT_EQ(files, (QStringList{QStringLiteral("Friend_2_u1.pdf"), QStringLiteral("Friend_u1.pdf")}));

    const QStringList firstPages = pdfPages(QDir(folder).filePath(QStringLiteral("Friend_u1.pdf")));
    const QStringList secondPages = pdfPages(QDir(folder).filePath(QStringLiteral("Friend_2_u1.pdf")));
    ASSERT_EQ(firstPages.size(), 100);
    ASSERT_FALSE(secondPages.isEmpty());
    QStringList expectedNumbers;
    for (int page = 1; page <= firstPages.size() + secondPages.size(); ++page)
        expectedNumbers << QString::number(page);
    EXPECT_EQ(pageNumbers(firstPages + secondPages), expectedNumbers);

    // every message once, in order, across both files
    const QString all = (firstPages + secondPages).join(QLatin1Char('\n'));
    static const QRegularExpression message(QStringLiteral("^message (\\d+)$"),
                                            QRegularExpression::MultilineOption);
    QList<int> seen;
    for (auto it = message.globalMatch(all); it.hasNext();)
        seen << it.next().captured(1).toInt();
    QList<int> expected;
    for (int i = 0; i < count; ++i)
        expected << i;
    EXPECT_EQ(seen, expected);
    qsizetype at = 0;
    for (const QString& line : lines) {
        const qsizetype found = all.indexOf(line + QLatin1Char('\n'), at);
        ASSERT_GE(found, at) << line.toStdString();
        at = found;
    }
}

TEST_F(PdfExportTest, CancelLeavesNothingBehind)
{
    OneChat chat;
    for (int i = 0; i < 400; ++i)
        chat.add(i % 2 == 0, QStringLiteral("message %1").arg(i), kMorning.addSecs(i * 40));
    CancellingForm form(150);
    const QString folder = out(QStringLiteral("cancelled"));
    ExportMessagesThread job(chat.source(), folder, MessageExporter::Pdf, &form, QString());
    runExport(job);
    EXPECT_TRUE(job.cancelled());
    EXPECT_TRUE(form.successes.isEmpty());
    EXPECT_TRUE(form.errors.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(filesBelow(m_dir.path()).isEmpty());
}

TEST(PrintPhotoTest, ScalesAsPrinted)
{
    EXPECT_EQ(scaledForPrint(QImage(300, 100, QImage::Format_RGB32)).size(), QSize(200, 67));
    EXPECT_EQ(scaledForPrint(QImage(150, 400, QImage::Format_RGB32)).size(), QSize(75, 200));
    EXPECT_EQ(scaledForPrint(QImage(200, 200, QImage::Format_RGB32)).size(), QSize(200, 200));
    EXPECT_EQ(scaledForPrint(QImage(201, 201, QImage::Format_RGB32)).size(), QSize(200, 200));
    EXPECT_EQ(printPhoto(QStringLiteral("/nonexistent/thumb")).size(),
              QSize(128, 96)); // linebb/empty_photo.jpg
}
