// The job commands of ferrowyn-cli (export, localdb backup, media extract) run on a store from the LINE
// fixture builder, as a script would run them.
#include "CliProcess.h"
#include "LineFixtureBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/LineLocalDb.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QStringList filesUnder(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

class JobsCliTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        LineFixtureOptions options;
        options.messages = 120;
        s_fixture =
            new LineFixture(LineFixtureBuilder::build(s_dir->filePath(QStringLiteral("app")), options));
        s_original = new QMap<QString, QByteArray>(fileDigests(s_fixture->appRoot));
    }
    static void TearDownTestSuite()
    {
        // Whatever the commands did, LINE's folder is as the builder left it.
        EXPECT_EQ(fileDigests(s_fixture->appRoot), *s_original);
        delete s_original;
        delete s_fixture;
        delete s_dir;
    }

    void SetUp() override { ASSERT_TRUE(m_out.isValid()); }

    static QString appRoot() { return s_fixture->appRoot; }
    QString out(const QString& name) const { return m_out.filePath(name); }

    static qint64 localMessages(const QString& folder)
    {
        const CliRun run =
            runCli({QStringLiteral("localdb"), QStringLiteral("messages"), folder, QStringLiteral("--json")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.out.count(QLatin1Char('\n'));
    }

    QTemporaryDir m_out;
    static QTemporaryDir* s_dir;
    static LineFixture* s_fixture;
    static QMap<QString, QByteArray>* s_original;
};

QTemporaryDir* JobsCliTest::s_dir = nullptr;
LineFixture* JobsCliTest::s_fixture = nullptr;
QMap<QString, QByteArray>* JobsCliTest::s_original = nullptr;

TEST_F(JobsCliTest, EveryExportFormatWritesItsFileOrFolderAndSaysSo)
{
    for (const char* format : {"txt", "doc", "csv"}) {
        const QString path = out(QStringLiteral("all.") + QLatin1String(format));
        const CliRun run =
            runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--format"),
                    QLatin1String(format), QStringLiteral("--out"), path});
        ASSERT_EQ(run.exitCode, 0) << format << ": " << run.err.toStdString();
        EXPECT_FALSE(run.out.trimmed().isEmpty()) << format;
        EXPECT_GT(QFileInfo(path).size(), 1000) << format;
    }
    // CSV: a header and one record per message at least (texts may hold line breaks).
    const QByteArray csv = readFileBytes(out(QStringLiteral("all.csv")));
    EXPECT_GE(csv.count("\r\n"), s_fixture->visibleMessages + 1);
    EXPECT_EQ(readFileBytes(out(QStringLiteral("all.doc"))), readFileBytes(out(QStringLiteral("all.txt"))));

    for (const char* format : {"html", "linetxt"}) {
        const QString folder = out(QLatin1String(format));
        const CliRun run = runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(),
                                   QStringLiteral("--format"), QLatin1String(format), QStringLiteral("--out"),
                                   folder, QStringLiteral("--owner"), QStringLiteral("Kenji")});
        ASSERT_EQ(run.exitCode, 0) << format << ": " << run.err.toStdString();
        const QStringList files = filesUnder(folder);
        EXPECT_FALSE(files.isEmpty()) << format;
        // Only finished files remain: pages (their images under files/) or LINE texts, no temporary names.
        for (const QString& file : files) {
            const bool expected =
                QLatin1String(format) == QLatin1String("html")
                    ? file.endsWith(QStringLiteral(".html")) || file.startsWith(QStringLiteral("files/"))
                    : file.endsWith(QStringLiteral(".txt"));
            EXPECT_TRUE(expected) << file.toStdString();
        }
    }
}

TEST_F(JobsCliTest, ExportingOneChatWritesOnlyItsMessages)
{
    const LineFixtureChat& chat = s_fixture->chats.first();
    const QString all = out(QStringLiteral("all.csv"));
    const QString one = out(QStringLiteral("one.csv"));
    ASSERT_EQ(runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(),
                      QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--out"), all})
                  .exitCode,
              0);
    const CliRun run =
        runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--format"),
                QStringLiteral("csv"), QStringLiteral("--out"), one, QStringLiteral("--chat"), chat.mid});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_GT(QFileInfo(one).size(), 0);
    EXPECT_LT(QFileInfo(one).size(), QFileInfo(all).size());
}

TEST_F(JobsCliTest, BackingUpTwiceAddsEveryMessageOnceAndALocalDatabaseExportsTheSame)
{
    const QString local = out(QStringLiteral("local"));
    CliRun run = runCli(
        {QStringLiteral("localdb"), QStringLiteral("backup"), local, QStringLiteral("--line"), appRoot()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("Successfully backed up %1 messages: %1 new, 0 already there.")
                             .arg(s_fixture->visibleMessages)))
        << run.out.toStdString();
    EXPECT_EQ(localMessages(local), s_fixture->visibleMessages);
    const QMap<QString, QByteArray> media = fileDigests(local + QStringLiteral("/files"));

    run = runCli(
        {QStringLiteral("localdb"), QStringLiteral("backup"), local, QStringLiteral("--line"), appRoot()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("Successfully backed up %1 messages: 0 new, %1 already there.")
                             .arg(s_fixture->visibleMessages)))
        << run.out.toStdString();
    EXPECT_EQ(localMessages(local), s_fixture->visibleMessages);
    EXPECT_EQ(fileDigests(local + QStringLiteral("/files")), media);

    // A second database filled from the first, then both exported: the same text.
    const QString copy = out(QStringLiteral("copy"));
    run = runCli(
        {QStringLiteral("localdb"), QStringLiteral("backup"), copy, QStringLiteral("--localdb"), local});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const QString& folder : {local, copy}) {
        run =
            runCli({QStringLiteral("export"), QStringLiteral("--localdb"), folder, QStringLiteral("--format"),
                    QStringLiteral("txt"), QStringLiteral("--out"), folder + QStringLiteral(".txt")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    EXPECT_EQ(readFileBytes(copy + QStringLiteral(".txt")), readFileBytes(local + QStringLiteral(".txt")));

    run = runCli(
        {QStringLiteral("localdb"), QStringLiteral("backup"), local, QStringLiteral("--localdb"), local});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("into itself"))) << run.err.toStdString();
}

TEST_F(JobsCliTest, PdfExportWritesEverySourcesChatsWithoutAWindow)
{
    const QString local = out(QStringLiteral("local-for-pdf"));
    ASSERT_EQ(runCli({QStringLiteral("localdb"), QStringLiteral("backup"), local, QStringLiteral("--line"),
                      appRoot()})
                  .exitCode,
              0);
    QStringList namesBySource;
    for (const QStringList& source : {QStringList{QStringLiteral("--line"), appRoot()},
                                      QStringList{QStringLiteral("--localdb"), local}}) {
        const QString folder = out(source.first().mid(2) + QStringLiteral("-pdf"));
        const CliRun run = runCli(
            QStringList{QStringLiteral("export")} + source +
            QStringList{QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), folder});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(
            QStringLiteral("Successfully exported %1 Messages.").arg(s_fixture->visibleMessages)))
            << run.out.toStdString();
        EXPECT_FALSE(run.err.contains(QLatin1String("missing"))) << run.err.toStdString();
        const QStringList files = filesUnder(folder);
        ASSERT_FALSE(files.isEmpty());
        for (const QString& file : files) {
            EXPECT_TRUE(file.endsWith(QLatin1String(".pdf"))) << file.toStdString();
            EXPECT_TRUE(readFileBytes(QDir(folder).filePath(file)).startsWith("%PDF-")) << file.toStdString();
        }
        namesBySource << files.join(QLatin1Char(' '));
    }
    // the same chats from the app folder and from the local database that holds its messages
    EXPECT_EQ(namesBySource.first(), namesBySource.last());
}

TEST_F(JobsCliTest, MediaExtractCopiesAttachmentsNamedByTheirTime)
{
    const QString folder = out(QStringLiteral("media"));
    const CliRun run = runCli({QStringLiteral("media"), QStringLiteral("extract"), QStringLiteral("--line"),
                               appRoot(), QStringLiteral("--out"), folder});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList files = filesUnder(folder);
    ASSERT_FALSE(files.isEmpty());
    // Photos, videos and voice messages are named after their time; shared files keep their names.
    EXPECT_FALSE(files.filter(QRegularExpression(QStringLiteral("^atta_\\d{8}-\\d{6}"))).isEmpty())
        << files.join(QLatin1Char(' ')).toStdString();

    // A second run never replaces what is there, and copies nothing that is there already.
    const QMap<QString, QByteArray> first = fileDigests(folder);
    const QStringList extract = {QStringLiteral("media"),  QStringLiteral("extract"),
                                 QStringLiteral("--line"), appRoot(),
                                 QStringLiteral("--out"),  folder};
    const CliRun again = runCli(extract);
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("%1 attachments were already there").arg(first.size())))
        << again.out.toStdString();
    EXPECT_EQ(fileDigests(folder), first);

    // A different file under a copy's name stays, and the attachment gets a numbered name beside it.
    const QString changed = first.firstKey();
    writeFileBytes(changed, "the user's own file");
    ASSERT_EQ(runCli(extract).exitCode, 0);
    const QMap<QString, QByteArray> third = fileDigests(folder);
    EXPECT_EQ(third.size(), first.size() + 1);
    EXPECT_EQ(readFileBytes(changed), QByteArray("the user's own file"));
    const QFileInfo info(changed);
    const QString numbered =
        QDir(info.absolutePath())
            .filePath(
                info.fileName().section(QLatin1Char('.'), 0, 0) + QStringLiteral("(1)") +
                (info.fileName().contains(QLatin1Char('.')) ? QLatin1Char('.') + info.suffix() : QString()));
    EXPECT_EQ(third.value(numbered), first.value(changed)) << numbered.toStdString();
}

// Two Ctrl+C's end an export at once, wherever it is; what it left of its own in the target folder is
// gone after the next export into that folder, and the user's files there stay.
TEST_F(JobsCliTest, TemporariesOfAnExportEndedByTwoInterruptsGoWithTheNextExport)
{
    for (const char* format : {"html", "linetxt", "txt"}) {
        const QString folder = out(QStringLiteral("interrupted-") + QLatin1String(format));
        const QString target =
            QLatin1String(format) == QLatin1String("txt") ? folder + QStringLiteral("/all.txt") : folder;
        writeFileBytes(folder + QStringLiteral("/notes.part"), "the user's own");
        const QStringList args = {
            QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--format"),
            QLatin1String(format),    QStringLiteral("--out"),  target};
        const CliRun killed = interruptCliAt(QStringLiteral("export-message-written"), args, 2);
        EXPECT_EQ(killed.exitCode, -1) << format << killed.err.toStdString();
        auto temporaries = [&folder] {
            return filesUnder(folder).filter(QRegularExpression(QStringLiteral("\\.ferrowyn-\\w+\\.part$")));
        };
        EXPECT_FALSE(temporaries().isEmpty()) << format << ": " << filesUnder(folder).join(' ').toStdString();
        const CliRun next = runCli(args);
        ASSERT_EQ(next.exitCode, 0) << format << next.err.toStdString();
        EXPECT_EQ(temporaries(), QStringList()) << format;
        EXPECT_EQ(readFileBytes(folder + QStringLiteral("/notes.part")), QByteArray("the user's own"));
    }
}

// Where an export goes: standard output for a one-file format, missing folders made for every format,
// a failure naming the path, and chats of several people named after the chat, never its first member.
TEST_F(JobsCliTest, ExportTargetsBehaveAlikeAndNameWhatFailed)
{
    const QStringList csv = {QStringLiteral("export"),   QStringLiteral("--line"), appRoot(),
                             QStringLiteral("--format"), QStringLiteral("csv"),    QStringLiteral("--out")};
    CliSetup here;
    here.workingDirectory = m_out.path();
    const CliRun piped = runCliWith(csv + QStringList{QStringLiteral("-")}, here);
    ASSERT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("-"))));
    ASSERT_EQ(runCli(csv + QStringList{out(QStringLiteral("deep/er/all.csv"))}).exitCode, 0);
    EXPECT_EQ(piped.out.toUtf8(), readFileBytes(out(QStringLiteral("deep/er/all.csv"))));
    EXPECT_TRUE(piped.err.contains(QStringLiteral("Successfully exported"))) << piped.err.toStdString();
    const CliRun folderToOutput =
        runCliWith({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--format"),
                    QStringLiteral("html"), QStringLiteral("--out"), QStringLiteral("-")},
                   here);
    EXPECT_EQ(folderToOutput.exitCode, 2);
    EXPECT_EQ(runCliWith({QStringLiteral("media"), QStringLiteral("extract"), QStringLiteral("--line"),
                          appRoot(), QStringLiteral("--out"), QStringLiteral("-")},
                         here)
                  .exitCode,
              2);
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("-"))));

    writeFileBytes(out(QStringLiteral("a-file")), "x");
    for (const char* format : {"txt", "html"}) {
        const QString below = out(QStringLiteral("a-file/sub/x.") + QLatin1String(format));
        const CliRun failed =
            runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--format"),
                    QLatin1String(format), QStringLiteral("--out"), below});
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_TRUE(failed.err.contains(out(QStringLiteral("a-file")))) << failed.err.toStdString();
    }

    const QString texts = out(QStringLiteral("texts"));
    ASSERT_EQ(runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(),
                      QStringLiteral("--format"), QStringLiteral("linetxt"), QStringLiteral("--out"), texts})
                  .exitCode,
              0);
    int several = 0;
    for (const LineFixtureChat& chat : s_fixture->chats)
        several += chat.enabled && chat.type != 0 ? 1 : 0;
    ASSERT_GT(several, 0);
    const QStringList names = filesUnder(texts);
    EXPECT_EQ(names.filter(QStringLiteral("US-Chat%20history%20in%20")).size(), several)
        << names.join(' ').toStdString();
    // The owner is a member of every chat of several people, and named first: never its name.
    const QString afterOwner = QStringLiteral("US-Chat%20history%20with%20") +
                               QString::fromLatin1(QUrl::toPercentEncoding(s_fixture->ownerName));
    EXPECT_TRUE(names.filter(afterOwner).isEmpty()) << names.join(' ').toStdString();
}

TEST_F(JobsCliTest, WrongOptionsAreUsageErrorsAndBadStoresFailWithoutOutput)
{
    const QString target = out(QStringLiteral("x.csv"));
    EXPECT_EQ(runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--out"),
                      target})
                  .exitCode,
              2);
    EXPECT_EQ(runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(),
                      QStringLiteral("--format"), QStringLiteral("pdfx"), QStringLiteral("--out"), target})
                  .exitCode,
              2);
    EXPECT_EQ(runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(),
                      QStringLiteral("--localdb"), out(QStringLiteral("l")), QStringLiteral("--format"),
                      QStringLiteral("csv"), QStringLiteral("--out"), target})
                  .exitCode,
              2);
    EXPECT_EQ(
        runCli({QStringLiteral("media"), QStringLiteral("extract"), QStringLiteral("--line"), appRoot()})
            .exitCode,
        2);
    EXPECT_EQ(
        runCli({QStringLiteral("localdb"), QStringLiteral("backup"), QStringLiteral("--line"), appRoot()})
            .exitCode,
        2);
    const CliRun help = runCli({QStringLiteral("export"), QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--format"))) << help.out.toStdString();

    CliRun run = runCli({QStringLiteral("export"), QStringLiteral("--localdb"), out(QStringLiteral("none")),
                         QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--out"), target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no local message database"))) << run.err.toStdString();
    run = runCli({QStringLiteral("export"), QStringLiteral("--line"), appRoot(), QStringLiteral("--chat"),
                  QStringLiteral("nosuchchat"), QStringLiteral("--format"), QStringLiteral("csv"),
                  QStringLiteral("--out"), target});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("none"))));
}

} // namespace
