// The export job's paths besides plain success: empty sources, unknown formats, cancels and failures
// (which take back only what the export created), name clashes, progress, and the output files'
// all-or-nothing writing.
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "export/ExportMessagesHtml.h"
#include "export/ExportMessagesTxt.h"
#include "export/ExportOpenFiles.h"
#include "export/ExportOptions.h"
#include "export/ExportOutputLog.h"
#include "export/ExportTextFile.h"
#include "line/LineChat.h"
#include "line/LineImageUrls.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class ExportJobTest : public ::testing::Test
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

    ChatFixture m_fixture;
    QTemporaryDir m_dir;
};

const int kAllFormats[] = {MessageExporter::PlainText, MessageExporter::Csv, MessageExporter::Html,
                           MessageExporter::LineText};

} // namespace

TEST_F(ExportJobTest, EmptySourceSucceedsWithoutWritingAFile)
{
    for (int format : {MessageExporter::PlainText, MessageExporter::Csv}) {
        RecordingProgressForm form;
        ExportMessagesThread job(std::make_shared<LineMsgsListSource>(), out(QStringLiteral("empty.txt")),
                                 format, &form, QString());
        runExport(job);
        EXPECT_EQ(form.successes, QStringList{QStringLiteral("Successfully exported 0 Messages.")});
        EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("empty.txt"))));
        ASSERT_FALSE(form.progress.isEmpty());
        EXPECT_EQ(form.progress.first().status, QStringLiteral("Exporting Messages..."));
        EXPECT_EQ(form.progress.first().progress, -1);
    }
}

TEST_F(ExportJobTest, UnknownFormatFailsAndWritesNothing)
{
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("x")), 9, &form, QString());
    runExport(job);
    EXPECT_EQ(form.errors, QStringList{QStringLiteral("not support export format.")});
    EXPECT_TRUE(form.successes.isEmpty());
    EXPECT_FALSE(job.succeeded());
    EXPECT_TRUE(filesBelow(m_dir.path()).isEmpty());
}

TEST_F(ExportJobTest, ProgressEndsAtTheLastExportedMessage)
{
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("p.csv")), MessageExporter::Csv, &form,
                             QString());
    runExport(job);
    ASSERT_GE(form.progress.size(), 2);
    // 13 messages, one without a chat: it is neither counted nor reported
    EXPECT_EQ(form.progress.last().text, QStringLiteral("Messages: 12/13"));
    EXPECT_EQ(form.progress.last().progress, 92);
    EXPECT_EQ(form.progress[1].text, QStringLiteral("Messages: 1/13"));
    for (const auto& step : form.progress.mid(1))
        EXPECT_TRUE(step.status.isEmpty());
}

TEST_F(ExportJobTest, CancelLeavesNoOutputBehind)
{
    for (int format : kAllFormats) {
        CancellingForm form(5);
        const QString path = out(QStringLiteral("cancelled-%1").arg(format));
        ExportMessagesThread job(m_fixture.source(), path, format, &form, QString());
        runExport(job);
        EXPECT_TRUE(form.successes.isEmpty()) << format;
        EXPECT_TRUE(form.errors.isEmpty()) << format;
        EXPECT_FALSE(job.succeeded());
        EXPECT_FALSE(QFileInfo::exists(path)) << format;
    }
    EXPECT_TRUE(filesBelow(m_dir.path()).isEmpty());
}

TEST_F(ExportJobTest, CancelKeepsTheUsersFolderAndFiles)
{
    writeFileBytes(out(QStringLiteral("mine/notes.txt")), "my notes");
    writeFileBytes(out(QStringLiteral("mine/files/photo1.jpg")), "my photo");
    writeFileBytes(out(QStringLiteral("mine/Alice_u001.html")), "my page");
    CancellingForm form(9); // well into the media of the group chat
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("mine")), MessageExporter::Html, &form,
                             QString());
    runExport(job);
    EXPECT_EQ(filesBelow(out(QStringLiteral("mine"))),
              (QStringList{QStringLiteral("Alice_u001.html"), QStringLiteral("files/photo1.jpg"),
                           QStringLiteral("notes.txt")}));
    EXPECT_EQ(readFileBytes(out(QStringLiteral("mine/files/photo1.jpg"))), "my photo");
    EXPECT_EQ(readFileBytes(out(QStringLiteral("mine/Alice_u001.html"))), "my page");
}

TEST_F(ExportJobTest, CancelOrFailureKeepsAnOlderFileAndSuccessReplacesIt)
{
    writeFileBytes(out(QStringLiteral("chat.txt")), "older export");
    {
        CancellingForm form(6);
        ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("chat.txt")),
                                 MessageExporter::PlainText, &form, QString());
        runExport(job);
        EXPECT_EQ(readFileBytes(out(QStringLiteral("chat.txt"))), "older export");
    }
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("chat.txt")), MessageExporter::PlainText,
                             &form, QString());
    runExport(job);
    EXPECT_TRUE(readFileBytes(out(QStringLiteral("chat.txt"))).startsWith("Date: "));
    EXPECT_EQ(filesBelow(m_dir.path()), QStringList{QStringLiteral("chat.txt")});
}

TEST_F(ExportJobTest, FailureTakesBackOnlyWhatTheExportCreated)
{
    writeFileBytes(out(QStringLiteral("mine/notes.txt")), "my notes");
    // A folder where the group chat's page should go: that page cannot be put in place, after media and
    // the other pages were already written.
    QDir().mkpath(out(QStringLiteral("mine/GROUP_Team,A x_c002.html/inside")));
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("mine")), MessageExporter::Html, &form,
                             QString());
    runExport(job);
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.successes.isEmpty());
    EXPECT_EQ(filesBelow(out(QStringLiteral("mine"))), QStringList{QStringLiteral("notes.txt")});
    EXPECT_TRUE(QFileInfo(out(QStringLiteral("mine/GROUP_Team,A x_c002.html/inside"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("mine/files"))));
}

TEST_F(ExportJobTest, UnwritableOutputReportsTheErrorAndCreatesNothing)
{
    writeFileBytes(out(QStringLiteral("a-file")), "x");
    for (int format : kAllFormats) {
        RecordingProgressForm form;
        // below a plain file: neither the output file nor the output folder can be created
        ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("a-file/out")), format, &form,
                                 QString());
        runExport(job);
        EXPECT_EQ(form.errors.size(), 1) << format;
        EXPECT_FALSE(form.errors.value(0).isEmpty()) << format;
    }
    EXPECT_EQ(filesBelow(m_dir.path()), QStringList{QStringLiteral("a-file")});
}

TEST_F(ExportJobTest, ChatsThatWouldShareAFileNameGetTheirOwn)
{
    // a second chat with the same peer id and title, as when two databases are shown together
    _LineChat twin = *m_fixture.single;
    QList<_LineMsg> messages = {m_fixture.messages[0], m_fixture.messages[1]};
    messages[1].chat = &twin;
    for (int format : {MessageExporter::Html, MessageExporter::LineText}) {
        RecordingProgressForm form;
        const QString folder = out(QStringLiteral("twins-%1").arg(format));
        ExportMessagesThread job(std::make_shared<LineMsgsListSource>(messages), folder, format, &form,
                                 QString());
        runExport(job);
        const QStringList pages = filesBelow(folder).filter(QRegularExpression(QStringLiteral("^[^/]+$")));
        if (format == MessageExporter::Html)
            EXPECT_EQ(pages, (QStringList{QStringLiteral("Alice_2_u001.html"),
                                          QStringLiteral("Alice_u001.html"), QStringLiteral("index.html")}));
        else
            EXPECT_EQ(pages, (QStringList{QStringLiteral("US-Chat%20history%20with%20Alice(2).txt"),
                                          QStringLiteral("US-Chat%20history%20with%20Alice.txt")}));
    }
}

TEST_F(ExportJobTest, MediaWithTheSameNameAreCopiedSideBySide)
{
    QTemporaryDir media;
    writeFileBytes(QDir(media.path()).filePath(QStringLiteral("a/IMG")), "first");
    writeFileBytes(QDir(media.path()).filePath(QStringLiteral("b/IMG")), "second");
    QList<_LineMsg> messages = {m_fixture.messages[3], m_fixture.messages[3]};
    messages[0].filePath = QDir(media.path()).filePath(QStringLiteral("a/IMG"));
    messages[1].filePath = QDir(media.path()).filePath(QStringLiteral("b/IMG"));
    RecordingProgressForm form;
    ExportMessagesThread job(std::make_shared<LineMsgsListSource>(messages), out(QStringLiteral("h")),
                             MessageExporter::Html, &form, QString());
    runExport(job);
    EXPECT_EQ(readFileBytes(out(QStringLiteral("h/files/IMG.jpg"))), "first");
    EXPECT_EQ(readFileBytes(out(QStringLiteral("h/files/IMG(1).jpg"))), "second");
    const QString page = QString::fromUtf8(readFileBytes(out(QStringLiteral("h/GROUP_Team,A x_c002.html"))));
    EXPECT_TRUE(page.contains(QLatin1String("href=\"files/IMG.jpg\"")));
    EXPECT_TRUE(page.contains(QLatin1String("href=\"files/IMG%281%29.jpg\"")));
}

TEST_F(ExportJobTest, EachChatPageHasItsOwnDaySeparators)
{
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("h")), MessageExporter::Html, &form,
                             QString());
    runExport(job);
    const QString single = QString::fromUtf8(readFileBytes(out(QStringLiteral("h/Alice_u001.html"))));
    EXPECT_EQ(single.count(QLatin1String("<div class=\"r\">")), 3); // 1, 2 and 4 March
    EXPECT_FALSE(single.contains(QLatin1String("Bob")));
    const QString room = QString::fromUtf8(readFileBytes(out(QStringLiteral("h/MULTI_r003.html"))));
    EXPECT_EQ(room.count(QLatin1String("<div class=\"r\">")), 1);
}

TEST(ExportTextFileTest, NothingAppearsUnderTheNameBeforeCommit)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("out.txt"));
    ExportTextFile file(path);
    ASSERT_TRUE(file.open());
    file.write(QStringLiteral("half"));
    EXPECT_FALSE(QFileInfo::exists(path));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readFileBytes(path), "half");
}

TEST(ExportTextFileTest, WritesCrLfForEveryLoneLineFeed)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("out.txt"));
    ExportTextFile file(path);
    ASSERT_TRUE(file.open());
    file.write(QStringLiteral("a\nb\r\nc\rd\r"));
    file.write(QStringLiteral("\ne\n\n"));
    file.writeLine(QStringLiteral("\u00E9\U0001F600"));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readFileBytes(path), "a\r\nb\r\nc\rd\r\ne\r\n\r\n\xC3\xA9\xF0\x9F\x98\x80\r\n");
}

TEST(ExportTextFileTest, DiscardKeepsTheOlderFile)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("out.txt"));
    writeFileBytes(path, "older");
    {
        ExportTextFile file(path);
        ASSERT_TRUE(file.open());
        file.write(QString(300000, QLatin1Char('x'))); // past the buffer: really written to the disk
    }
    EXPECT_EQ(readFileBytes(path), "older");
    EXPECT_EQ(filesBelow(dir.path()), QStringList{QStringLiteral("out.txt")});
}

TEST(ExportTextFileTest, FailedCommitThrowsFromEndAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("gone"));
    QDir().mkpath(folder);
    ChatFixture fixture;
    ExportMessagesTxt exporter(QDir(folder).filePath(QStringLiteral("out.txt")));
    exporter.begin();
    exporter.writeMessage(fixture.messages[0]);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_THROW(exporter.end(), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(ExportOutputLogTest, RecordsOnlyWhatItCreatedAndTakesItBack)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    root.mkpath(QStringLiteral("existing"));
    writeFileBytes(root.filePath(QStringLiteral("existing/keep.txt")), "keep");
    ExportOutputLog log;
    ASSERT_TRUE(log.makeFolder(root.filePath(QStringLiteral("existing/new/deeper"))));
    EXPECT_EQ(log.createdFolders(), (QStringList{root.filePath(QStringLiteral("existing/new")),
                                                 root.filePath(QStringLiteral("existing/new/deeper"))}));
    writeFileBytes(root.filePath(QStringLiteral("existing/new/deeper/a.txt")), "a");
    log.addFile(root.filePath(QStringLiteral("existing/new/deeper/a.txt")));
    writeFileBytes(root.filePath(QStringLiteral("existing/new/someone-else.txt")), "b");
    log.rollback();
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("existing/new/deeper"))));
    // a folder that is not empty by then stays, with what someone else put there
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("existing/new/someone-else.txt"))));
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("existing/keep.txt"))));
    EXPECT_TRUE(log.createdFiles().isEmpty());
}

TEST(ExportOutputLogTest, FailsBelowAFile)
{
    QTemporaryDir dir;
    writeFileBytes(QDir(dir.path()).filePath(QStringLiteral("f")), "x");
    ExportOutputLog log;
    EXPECT_FALSE(log.makeFolder(QDir(dir.path()).filePath(QStringLiteral("f/sub"))));
    EXPECT_TRUE(log.createdFolders().isEmpty());
}

TEST(ExportMessagesHtmlTest, CopyIntoFilesNamesAndCopiesAsDescribed)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    writeFileBytes(root.filePath(QStringLiteral("media/thumb")), "t");
    writeFileBytes(root.filePath(QStringLiteral("media/movie.mov")), "m");
    ExportOutputLog log;
    ExportMessagesHtml exporter(root.filePath(QStringLiteral("out")), QStringLiteral("page.html"), &log);
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("out/files"))).isDir());
    EXPECT_EQ(exporter.copyIntoFiles(root.filePath(QStringLiteral("media/thumb")), QStringLiteral("jpg")),
              QStringLiteral("thumb.jpg"));
    // The same file again is linked, not copied twice; another file of the same name gets its own.
    EXPECT_EQ(exporter.copyIntoFiles(root.filePath(QStringLiteral("media/thumb")), QStringLiteral("jpg")),
              QStringLiteral("thumb.jpg"));
    writeFileBytes(root.filePath(QStringLiteral("media/other/thumb")), "u");
    EXPECT_EQ(
        exporter.copyIntoFiles(root.filePath(QStringLiteral("media/other/thumb")), QStringLiteral("jpg")),
        QStringLiteral("thumb(1).jpg"));
    EXPECT_EQ(exporter.copyIntoFiles(root.filePath(QStringLiteral("media/movie.mov")), QStringLiteral("jpg")),
              QStringLiteral("movie.mov"));
    // a missing file still gets a name, and nothing is copied
    EXPECT_EQ(exporter.copyIntoFiles(root.filePath(QStringLiteral("media/missing")), QString()),
              QStringLiteral("missing"));
    EXPECT_EQ(filesBelow(root.filePath(QStringLiteral("out"))),
              (QStringList{QStringLiteral("files/movie.mov"), QStringLiteral("files/thumb(1).jpg"),
                           QStringLiteral("files/thumb.jpg")}));
    log.rollback();
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("out"))));
}

namespace {
// The files below folder with their contents, the "Saved on" line of LINE texts left out (it is the time
// of the export).
QMap<QString, QByteArray> contentsBelow(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    for (const QString& name : filesBelow(folder)) {
        QString text = QString::fromUtf8(readFileBytes(QDir(folder).filePath(name)));
        text.remove(QRegularExpression(QStringLiteral("Saved on: [^\r]*")));
        contents.insert(name, text.toUtf8());
    }
    return contents;
}
} // namespace

TEST_F(ExportJobTest, AFolderExportOfMoreChatsThanOpenFilesAllowedWritesTheSameFiles)
{
    for (int format : {MessageExporter::Html, MessageExporter::LineText}) {
        const QString unbounded = out(QStringLiteral("unbounded-%1").arg(format));
        const QString bounded = out(QStringLiteral("bounded-%1").arg(format));
        RecordingProgressForm first;
        ExportMessagesThread wide(m_fixture.source(), unbounded, format, &first, QString());
        runExport(wide);
        ASSERT_TRUE(wide.succeeded());
        ASSERT_GE(wide.mostFilesOpen(), 3) << "the fixture has fewer chats than this test needs";

        // Messages alternate between chats, so every chat's file is closed and reopened on the way.
        RecordingProgressForm second;
        ExportMessagesThread narrow(m_fixture.source(), bounded, format, &second, QString());
        narrow.setOpenFileLimit(1);
        runExport(narrow);
        ASSERT_TRUE(narrow.succeeded()) << second.errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(narrow.mostFilesOpen(), 1);
        EXPECT_EQ(contentsBelow(bounded), contentsBelow(unbounded));
    }
}

TEST(ExportOpenFilesTest, ParkedFilesKeepTheirContentAndADiscardedOneLeavesNothing)
{
    QTemporaryDir dir;
    ExportOpenFiles openFiles(2);
    std::vector<std::unique_ptr<ExportTextFile>> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(
            std::make_unique<ExportTextFile>(QDir(dir.path()).filePath(QStringLiteral("%1.txt").arg(i))));
        files.back()->setOpenFiles(&openFiles);
        ASSERT_TRUE(files.back()->open());
        EXPECT_LE(openFiles.openCount(), 2);
    }
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 5; ++i) {
            files[i]->writeLine(QStringLiteral("%1-%2").arg(i).arg(round));
            EXPECT_LE(openFiles.openCount(), 2);
        }
    }
    files[4]->discard();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(files[i]->commit()) << files[i]->errorString().toStdString();
    EXPECT_EQ(openFiles.openCount(), 0);
    EXPECT_EQ(openFiles.mostOpen(), 2);
    EXPECT_EQ(filesBelow(dir.path()), (QStringList{"0.txt", "1.txt", "2.txt", "3.txt"}));
    EXPECT_EQ(readFileBytes(QDir(dir.path()).filePath(QStringLiteral("2.txt"))), "2-0\r\n2-1\r\n2-2\r\n");
}

// A web export as a reader opens it, offline: an index of the chats, pages titled with their chat and
// split when long, and nothing loaded from another server unless an image host was set.
TEST_F(ExportJobTest, AWebExportIsIndexedPagedAndSelfContained)
{
    LineImageUrls::resetServers(); // the program's own servers are configured, and still not used
    const QString stickers = out(QStringLiteral("stickers"));
    writeFileBytes(stickers + QStringLiteral("/11537/52002734.png"), "sticker image");
    ExportOptions options;
    options.messagesPerPage = 2;
    options.stickerFiles = LineStickerFiles(stickers);
    RecordingProgressForm form;
    ExportMessagesThread job(m_fixture.source(), out(QStringLiteral("h")), MessageExporter::Html, &form,
                             QString());
    job.setOptions(options);
    runExport(job);
    ASSERT_TRUE(form.errors.isEmpty()) << form.errors.join(QLatin1Char('\n')).toStdString();
    const QDir folder(out(QStringLiteral("h")));
    ASSERT_TRUE(folder.exists(QStringLiteral("Alice_u001_page2.html")))
        << filesBelow(folder.path()).join(' ').toStdString();
    auto page = [&folder](const QString& name) {
        return QString::fromUtf8(readFileBytes(folder.filePath(name)));
    };

    // The index names every chat with its message count, first and last time, linking its first page.
    const QString index = page(QStringLiteral("index.html"));
    const QHash<_LineChat*, PAbsLineMsgsSource> perChat = m_fixture.source()->splitByChat();
    ASSERT_EQ(perChat.size(), 3);
    for (auto it = perChat.cbegin(); it != perChat.cend(); ++it) {
        const QString first = it.key() == m_fixture.single  ? QStringLiteral("Alice_u001.html")
                              : it.key() == m_fixture.group ? QStringLiteral("GROUP_Team,A x_c002.html")
                                                            : QStringLiteral("MULTI_r003.html");
        const qsizetype row = index.indexOf(
            QStringLiteral("<a href=\"%1\">").arg(QString::fromLatin1(QUrl::toPercentEncoding(first))));
        ASSERT_GE(row, 0) << first.toStdString() << "\n" << index.toStdString();
        const QString line = index.mid(row, index.indexOf(QStringLiteral("</tr>"), row) - row);
        EXPECT_TRUE(line.contains(QStringLiteral(">%1<").arg(it.value()->count()))) << line.toStdString();
        EXPECT_TRUE(line.contains(it.value()->message(0).time.toString(QStringLiteral("yyyy-MM-dd hh:mm"))))
            << line.toStdString();
    }
    EXPECT_TRUE(index.contains(QStringLiteral("&lt;x&gt;")) && !index.contains(QStringLiteral("<x>")))
        << index.toStdString();

    // Alice's chat holds more than two messages: its pages link each other and the index.
    const QString first = page(QStringLiteral("Alice_u001.html"));
    const QString second = page(QStringLiteral("Alice_u001_page2.html"));
    EXPECT_TRUE(first.contains(QStringLiteral("<title>Alice</title>"))) << first.left(400).toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("href=\"Alice_u001_page2.html\"")));
    EXPECT_TRUE(first.contains(QStringLiteral("href=\"index.html\"")));
    EXPECT_TRUE(second.contains(QStringLiteral("href=\"Alice_u001.html\"")));
    EXPECT_EQ(first.count(QStringLiteral("class=\"bb_time\"")), 2);
    qint64 shown = 0;
    for (const QString& name : folder.entryList({QStringLiteral("Alice_u001*.html")}, QDir::Files))
        shown += page(name).count(QStringLiteral("class=\"bb_time\""));
    EXPECT_EQ(shown, perChat.value(m_fixture.single)->count());

    // No image from outside: the sticker is the store's own picture, copied; the place is its name and
    // coordinates with a link to follow.
    QString all;
    for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files))
        all += page(name);
    EXPECT_FALSE(all.contains(QRegularExpression(QStringLiteral("src=\"[a-z]+:")))) << all.toStdString();
    EXPECT_EQ(readFileBytes(folder.filePath(QStringLiteral("files/52002734.png"))), "sticker image");
    EXPECT_TRUE(all.contains(QStringLiteral("src=\"files/52002734.png\"")));
    EXPECT_TRUE(all.contains(QStringLiteral("35.681236, 139.767125")));
    EXPECT_TRUE(
        all.contains(QStringLiteral("https://www.openstreetmap.org/?mlat=35.681236&amp;mlon=139.767125")) ||
        all.contains(QStringLiteral("https://www.openstreetmap.org/?mlat=35.681236&mlon=139.767125")));

    // Without the store's picture the sticker is its label; with image hosts set, their pictures show.
    ExportOptions remote;
    RecordingProgressForm plainForm;
    ExportMessagesThread plain(m_fixture.source(), out(QStringLiteral("plain")), MessageExporter::Html,
                               &plainForm, QString());
    plain.setOptions(remote);
    runExport(plain);
    const QString label = QString::fromUtf8(readFileBytes(out(QStringLiteral("plain/Alice_u001.html"))));
    EXPECT_TRUE(label.contains(QStringLiteral("[STICKER-52002734]"))) << label.toStdString();
    remote.stickerServer = QStringLiteral("http://stickers.example");
    remote.mapServer = QStringLiteral("http://maps.example");
    RecordingProgressForm remoteForm;
    ExportMessagesThread hosted(m_fixture.source(), out(QStringLiteral("remote")), MessageExporter::Html,
                                &remoteForm, QString());
    hosted.setOptions(remote);
    runExport(hosted);
    QString hostedPages;
    for (const QString& name : QDir(out(QStringLiteral("remote"))).entryList({QStringLiteral("*.html")}))
        hostedPages += QString::fromUtf8(readFileBytes(out(QStringLiteral("remote/") + name)));
    EXPECT_TRUE(hostedPages.contains(QStringLiteral(
        "src=\"http://stickers.example/products/0/0/1/11537/android/stickers/52002734.png\"")));
    EXPECT_TRUE(hostedPages.contains(QStringLiteral("src=\"http://maps.example/maps/api/staticmap?")));
}
