#include "QtPrinters.h"
#include "RecordingProgressForm.h"
#include "TestFiles.h"

#include "jobs/ExtractMediaFilesThread.h"
#include "line/LineMsgsListSource.h"
#include "line/MessageType.h"
#include "platform/AppLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Says "cancelled" from the given check on; the job asks once per message, from its own thread.
class CancelAtCheckForm : public RecordingProgressForm
{
    Q_OBJECT

public:
    explicit CancelAtCheckForm(int cancelAtCheck) : m_cancelAtCheck(cancelAtCheck) {}
    Q_INVOKABLE bool isCancelled() const { return ++m_checks >= m_cancelAtCheck; }

private:
    int m_cancelAtCheck;
    mutable std::atomic<int> m_checks = 0;
};

const QDateTime kNoon(QDate(2024, 1, 5), QTime(12, 0, 0));

class ExtractMediaFilesThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setAppLanguage(QStringLiteral("en_US"));
        ASSERT_TRUE(m_folder.isValid());
        m_media = m_folder.filePath(QStringLiteral("media"));
        m_output = m_folder.filePath(QStringLiteral("out/attachments(20240105-120000)"));
    }

    // A file under the media folder with the given content; returns its path.
    QString mediaFile(const QString& name, const QByteArray& content)
    {
        const QString path = QDir(m_media).filePath(name);
        writeFileBytes(path, content);
        return path;
    }

    static _LineMsg message(int type, const QDateTime& time, const QString& filePath,
                            const QString& thumbPath = QString())
    {
        _LineMsg msg;
        msg.type = type;
        msg.time = time;
        msg.uid = QStringLiteral("u%1").arg(time.toSecsSinceEpoch());
        msg.filePath = filePath;
        msg.thumbPath = thumbPath;
        return msg;
    }

    // Runs the job to its end, delivering its reports as they come.
    void run(const QList<_LineMsg>& messages, RecordingProgressForm* form = nullptr)
    {
        ExtractMediaFilesThread job(std::make_shared<LineMsgsListSource>(messages), m_output,
                                    form ? form : &m_form);
        QEventLoop loop;
        QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        job.start();
        loop.exec();
        ASSERT_TRUE(job.wait(60000));
        QCoreApplication::sendPostedEvents();
        m_copied = job.copiedCount();
        m_failed = job.failedCount();
    }

    QStringList outputNames() const { return QDir(m_output).entryList(QDir::Files, QDir::Name); }

    QByteArray outputBytes(const QString& name) const { return readFileBytes(QDir(m_output).filePath(name)); }

    QTemporaryDir m_folder;
    QString m_media;
    QString m_output;
    RecordingProgressForm m_form;
    int m_copied = 0;
    int m_failed = 0;
};
} // namespace

TEST_F(ExtractMediaFilesThreadTest, PhotosVideosAndVoiceAreNamedAfterTheirTimeWithDefaultSuffixes)
{
    run({
        message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("p1.png"), "png")),
        message(MessageType::Photo, kNoon.addSecs(1), mediaFile(QStringLiteral("photo"), "jpeg")),
        message(MessageType::Video, kNoon.addSecs(2), mediaFile(QStringLiteral("v1"), "video")),
        message(MessageType::Video, kNoon.addSecs(3), mediaFile(QStringLiteral("v2.mov"), "mov")),
        message(MessageType::Voice, kNoon.addSecs(4), mediaFile(QStringLiteral("voice"), "aac")),
        message(MessageType::Voice, kNoon.addSecs(5), mediaFile(QStringLiteral("voice.m4a"), "m4a")),
    });
    EXPECT_EQ(outputNames(), (QStringList{
                                 "atta_20240105-120000.png",
                                 "atta_20240105-120001.jpg",
                                 "atta_20240105-120002.mp4",
                                 "atta_20240105-120003.mov",
                                 "atta_20240105-120004.aac",
                                 "atta_20240105-120005.m4a",
                             }));
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120001.jpg")), QByteArray("jpeg"));
    EXPECT_EQ(m_copied, 6);
    EXPECT_EQ(
        m_form.successes,
        QStringList{
            QStringLiteral("Successfully extracted attachments to %1.").arg(QDir(m_output).absolutePath())});
    EXPECT_TRUE(m_form.errors.isEmpty());
}

TEST_F(ExtractMediaFilesThreadTest, SameSecondGetsNumberedCopiesEachWithItsMessageTime)
{
    const QDateTime later = kNoon.addDays(3);
    run({
        message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("a.jpg"), "first")),
        message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("b.jpg"), "second")),
        message(MessageType::Photo, later, mediaFile(QStringLiteral("c.jpg"), "third")),
    });
    EXPECT_EQ(outputNames(), (QStringList{"atta_20240105-120000(1).jpg", "atta_20240105-120000.jpg",
                                          "atta_20240108-120000.jpg"}));
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120000.jpg")), QByteArray("first"));
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120000(1).jpg")), QByteArray("second"));
    const QDir out(m_output);
    EXPECT_EQ(QFileInfo(out.filePath(QStringLiteral("atta_20240105-120000(1).jpg"))).lastModified(), kNoon);
    EXPECT_EQ(QFileInfo(out.filePath(QStringLiteral("atta_20240108-120000.jpg"))).lastModified(), later);
    EXPECT_EQ(QFileInfo(out.filePath(QStringLiteral("atta_20240108-120000.jpg"))).lastRead(), later);
}

TEST_F(ExtractMediaFilesThreadTest, ExistingFilesAreNeverOverwritten)
{
    writeFileBytes(QDir(m_output).filePath(QStringLiteral("atta_20240105-120000.jpg")), "keep me");
    run({message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("a.jpg"), "new"))});
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120000.jpg")), QByteArray("keep me"));
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120000(1).jpg")), QByteArray("new"));
}

TEST_F(ExtractMediaFilesThreadTest, MissingMediaFallsBackToTheThumbnailForPhotosAndVideosOnly)
{
    const QString thumb = mediaFile(QStringLiteral("t.jpg"), "thumb");
    const QString missing = QDir(m_media).filePath(QStringLiteral("gone.mp4"));
    run({
        message(MessageType::Video, kNoon, missing, thumb),
        message(MessageType::Photo, kNoon.addSecs(1), m_media /* a folder, not a file */, thumb),
        message(MessageType::Voice, kNoon.addSecs(2), missing, thumb),
        message(MessageType::File, kNoon.addSecs(3), missing, thumb),
        message(MessageType::Photo, kNoon.addSecs(4), missing, missing),
        message(MessageType::Photo, kNoon.addSecs(5), QString(), QString()),
    });
    EXPECT_EQ(outputNames(),
              (QStringList{"atta_20240105-120000.thumb.jpg", "atta_20240105-120001.thumb.jpg"}));
    EXPECT_EQ(outputBytes(QStringLiteral("atta_20240105-120000.thumb.jpg")), QByteArray("thumb"));
    EXPECT_EQ(m_copied, 2);
    EXPECT_EQ(m_failed, 0);
    EXPECT_EQ(m_form.successes.size(), 1); // missing media is not a failure
}

TEST_F(ExtractMediaFilesThreadTest, OtherMessageTypesCopyNothing)
{
    const QString file = mediaFile(QStringLiteral("x.jpg"), "x");
    run({
        message(MessageType::Text, kNoon, file, file),
        message(MessageType::Sticker, kNoon, file, file),
        message(MessageType::Contact, kNoon, file, file),
        message(MessageType::Location, kNoon, file, file),
        message(42, kNoon, file, file),
    });
    EXPECT_TRUE(outputNames().isEmpty());
    EXPECT_TRUE(QFileInfo(m_output).isDir()); // the folder is made all the same
    EXPECT_EQ(m_form.successes.size(), 1);
}

TEST_F(ExtractMediaFilesThreadTest, FileAttachmentsKeepTheirNamePercentEncodedAfterTheUid)
{
    _LineMsg msg = message(MessageType::File, kNoon, mediaFile(QStringLiteral("blob"), "pdf bytes"));
    msg.uid = QStringLiteral("987");
    msg.setFileName(QStringLiteral("plans/2024:v2.pdf"));
    _LineMsg unnamed = message(MessageType::File, kNoon.addSecs(1), mediaFile(QStringLiteral("blob2"), "b"));
    unnamed.uid = QStringLiteral("988");
    run({msg, unnamed});
    EXPECT_EQ(outputNames(), (QStringList{"987_plans%2f2024%3av2.pdf", "988_"}));
    EXPECT_EQ(outputBytes(QStringLiteral("987_plans%2f2024%3av2.pdf")), QByteArray("pdf bytes"));
    EXPECT_EQ(QFileInfo(QDir(m_output).filePath(QStringLiteral("987_plans%2f2024%3av2.pdf"))).lastModified(),
              kNoon);
}

TEST_F(ExtractMediaFilesThreadTest, OverlongFileNamesAreShortenedKeepingTheSuffix)
{
    _LineMsg msg = message(MessageType::File, kNoon, mediaFile(QStringLiteral("blob"), "long"));
    msg.setFileName(QString(120, QChar(0x8A66)) + QStringLiteral(".docx")); // 360 bytes of UTF-8
    run({msg});
    ASSERT_EQ(outputNames().size(), 1);
    const QString name = outputNames().first();
    EXPECT_TRUE(name.startsWith(msg.uid + QStringLiteral("_") + QChar(0x8A66)));
    EXPECT_TRUE(name.endsWith(QStringLiteral(".docx")));
    EXPECT_LE(name.toUtf8().size(), 240);

    EXPECT_EQ(MediaExtractor::fittingFileName(QStringLiteral("short.txt")), QStringLiteral("short.txt"));
    // a character outside the BMP is never cut in half
    const QString emoji = QString(70, QChar(0x61)) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(60);
    const QString fitted = MediaExtractor::fittingFileName(emoji);
    EXPECT_LE(fitted.toUtf8().size(), 240);
    EXPECT_FALSE(fitted.back().isHighSurrogate());
    EXPECT_EQ(QString::fromUtf8(fitted.toUtf8()), fitted);
}

TEST_F(ExtractMediaFilesThreadTest, ReadOnlySourcesAreCopiedAndDated)
{
    const QString source = mediaFile(QStringLiteral("ro.jpg"), "ro");
    QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    run({message(MessageType::Photo, kNoon, source)});
    const QString copy = QDir(m_output).filePath(QStringLiteral("atta_20240105-120000.jpg"));
    EXPECT_EQ(readFileBytes(copy), QByteArray("ro"));
    EXPECT_EQ(QFileInfo(copy).lastModified(), kNoon);
}

TEST_F(ExtractMediaFilesThreadTest, ProgressHasTheHeadlineThenRisingPercentagesUpToAHundred)
{
    QList<_LineMsg> messages;
    for (int i = 0; i < 250; ++i)
        messages << message(MessageType::Text, kNoon.addSecs(i), QString());
    run(messages);
    ASSERT_GE(m_form.progress.size(), 2);
    EXPECT_EQ(m_form.progress.first().status, QStringLiteral("Extracting attachments..."));
    int last = -1;
    for (int i = 1; i < m_form.progress.size(); ++i) {
        EXPECT_TRUE(m_form.progress.at(i).status.isEmpty());
        EXPECT_GT(m_form.progress.at(i).progress, last); // one report per percentage
        last = m_form.progress.at(i).progress;
    }
    EXPECT_EQ(last, 100);
    EXPECT_EQ(m_form.progress.at(1).progress, 0); // (0 + 1) * 100 / 250, truncated
}

TEST_F(ExtractMediaFilesThreadTest, AnEmptySourceSucceeds)
{
    run({});
    EXPECT_EQ(m_form.successes.size(), 1);
    EXPECT_TRUE(QFileInfo(m_output).isDir());
}

TEST_F(ExtractMediaFilesThreadTest, CancelStopsWithoutAnyReportAndKeepsTheCopiesMade)
{
    QList<_LineMsg> messages;
    for (int i = 0; i < 10; ++i)
        messages << message(MessageType::Photo, kNoon.addSecs(i),
                            mediaFile(QStringLiteral("p%1.jpg").arg(i), "p"));
    CancelAtCheckForm form(4); // seen before the fourth message
    run(messages, &form);
    EXPECT_TRUE(form.successes.isEmpty());
    EXPECT_TRUE(form.errors.isEmpty());
    EXPECT_EQ(outputNames().size(), 3);
    EXPECT_EQ(m_copied, 3);
}

TEST_F(ExtractMediaFilesThreadTest, AnOutputFolderThatCannotBeMadeIsAnError)
{
    writeFileBytes(m_folder.filePath(QStringLiteral("blocker")), "a file where the folder should go");
    m_output = m_folder.filePath(QStringLiteral("blocker/attachments"));
    run({message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("a.jpg"), "a"))});
    ASSERT_EQ(m_form.errors.size(), 1);
    EXPECT_TRUE(m_form.errors.first().startsWith(QStringLiteral("Cannot create the folder ")))
        << m_form.errors.first();
    EXPECT_TRUE(m_form.successes.isEmpty());
}

TEST_F(ExtractMediaFilesThreadTest, FailedCopiesAreReportedAfterTheOthersWereCopied)
{
    // The source's 250-character suffix makes the target name longer than a file name may be.
    const QString longSuffix = mediaFile(QStringLiteral("x.") + QString(250, QLatin1Char('s')), "x");
    run({
        message(MessageType::Photo, kNoon, mediaFile(QStringLiteral("ok.jpg"), "ok")),
        message(MessageType::Photo, kNoon.addSecs(1), longSuffix),
    });
    EXPECT_EQ(outputNames(), QStringList{"atta_20240105-120000.jpg"});
    EXPECT_EQ(m_copied, 1);
    EXPECT_EQ(m_failed, 1);
    ASSERT_EQ(m_form.errors.size(), 1);
    EXPECT_TRUE(m_form.errors.first().startsWith(
        QStringLiteral("Extracted 1 attachments to %1, but 1 could not be copied.\n")
            .arg(QDir(m_output).absolutePath())))
        << m_form.errors.first();
    EXPECT_TRUE(m_form.successes.isEmpty());
}

TEST_F(ExtractMediaFilesThreadTest, MarkupInTheFolderNameStaysPlainTextInTheReport)
{
    // Job texts are plain text; the progress form escapes them (ProgressFormTest).
    m_output = m_folder.filePath(QStringLiteral("<b>out</b>"));
    run({});
    ASSERT_EQ(m_form.successes.size(), 1);
    EXPECT_TRUE(m_form.successes.first().contains(QDir(m_output).absolutePath())) << m_form.successes.first();
}

#include "ExtractMediaFilesThreadTest.moc"
