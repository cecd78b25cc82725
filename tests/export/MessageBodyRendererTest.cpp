// The message bodies for any kind of page (what the renderer asks its target and how it escapes what it
// gets), and the export's media copies that its pages link.
#include "export/MessageBodyRenderer.h"
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "export/ExportMediaFiles.h"
#include "export/ExportOutputLog.h"
#include "export/ExportPageTarget.h"
#include "line/LineImageUrls.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A kind of page of its own, as a printed page would be: addresses that all need escaping, and a record
// of what the renderer asked for.
class RecordingTarget final : public MessageBodyTarget
{
public:
    MediaLinks photo(const _LineMsg&) const override
    {
        asked << QStringLiteral("photo");
        return {QStringLiteral("p?a=1&b=\"2\""), QStringLiteral("pic<1>.png")};
    }
    MediaLinks video(const _LineMsg&) const override
    {
        asked << QStringLiteral("video");
        return {QStringLiteral("v'1"), QString()};
    }
    QString voiceNote(const _LineMsg&) const override
    {
        asked << QStringLiteral("voice");
        return QStringLiteral("n&1");
    }
    QString file(const _LineMsg&) const override
    {
        asked << QStringLiteral("file");
        return QStringLiteral("f\"1");
    }
    QString voiceIcon() const override { return QStringLiteral("icons/v<1>.png"); }
    BubbleMarkup::LinkTarget linkTarget() const override { return BubbleMarkup::NewWindow; }

    mutable QStringList asked;
};

} // namespace

TEST(MessageBodyRendererTest, AnyTargetGetsTheSameBodiesWithItsOwnAddressesEscaped)
{
    useEnglishTexts();
    LineImageUrls::resetServers();
    ChatFixture fixture;
    RecordingTarget target;
    auto body = [&](int index) { return MessageBodyRenderer::body(fixture.messages[index], target); };
    const QString picture =
        QStringLiteral("<img style=\"max-width:128px;max-height:128px;\" src=\"%1\" %2></a>");

    EXPECT_EQ(body(3), QStringLiteral("<div><a href=\"p?a=1&amp;b=&quot;2&quot;\" target=\"_blank\">") +
                           picture.arg(QStringLiteral("pic&lt;1&gt;.png"), QString()) +
                           QStringLiteral("</div>"));
    EXPECT_EQ(body(4), QStringLiteral("<div><a href=\"v&#39;1\" target=\"_blank\">") +
                           picture.arg(QString(), QString()) + QStringLiteral("</div>"));
    EXPECT_EQ(body(5), QStringLiteral("<img width=\"32px\" src=\"icons/v&lt;1&gt;.png\" align=\"middle\"/>"
                                      "<a href=\"n&amp;1\">1:15</a>"));
    EXPECT_EQ(body(8),
              QStringLiteral("<a target=\"_blank\" href=\"f&quot;1\">report &lt;1&gt;, \"final\".pdf</a>"));
    // a sticker opens beside the page as well, a map does not
    EXPECT_TRUE(body(6).contains(QStringLiteral("52002734.png\" target=\"_blank\">")));
    EXPECT_TRUE(body(6).endsWith(QStringLiteral("alt=\"Sticker\"></a></div>")));
    EXPECT_TRUE(body(9).startsWith(QStringLiteral("<a href=\"http://maps.googleapis.com/")));
    EXPECT_EQ(body(7), QStringLiteral("Contact:<br/>Dave Smith &lt;d&gt;"));
    EXPECT_EQ(body(10), QStringLiteral("Line1<br/>Line2<br/>Tail, with \"quotes\""));
    // each attachment once, and only for its own type
    EXPECT_EQ(target.asked, (QStringList{QStringLiteral("photo"), QStringLiteral("video"),
                                         QStringLiteral("voice"), QStringLiteral("file")}));
}

TEST(ExportMediaFilesTest, EachTypeCopiesItsMediaAndThePageLinksTheCopies)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ChatFixture fixture;
    ExportOutputLog log;
    ExportMediaFiles files(root.filePath(QStringLiteral("out/files")), &log);
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("out/files"))).isDir());

    // a photo whose file is missing shows and links its thumbnail, named as a picture
    _LineMsg photo = fixture.messages[3];
    photo.filePath = root.filePath(QStringLiteral("missing"));
    const ExportMediaFiles::Names fromThumbnail = files.copy(photo);
    EXPECT_EQ(fromThumbnail.file, QStringLiteral("thumb1.jpg"));
    EXPECT_EQ(fromThumbnail.picture, QStringLiteral("thumb1.jpg"));
    // a video copies the video, then its thumbnail as the picture; without one there is no picture
    _LineMsg video = fixture.messages[4];
    video.thumbPath = fixture.mediaPath(QStringLiteral("thumb1"));
    const ExportMediaFiles::Names withThumbnail = files.copy(video);
    EXPECT_EQ(withThumbnail.file, QStringLiteral("clip.mp4"));
    // the thumbnail the photo already copied is linked again, not copied a second time
    EXPECT_EQ(withThumbnail.picture, QStringLiteral("thumb1.jpg"));
    video.thumbPath.clear();
    const ExportMediaFiles::Names withoutThumbnail = files.copy(video);
    EXPECT_EQ(withoutThumbnail.file, QStringLiteral("clip.mp4"));
    EXPECT_TRUE(withoutThumbnail.picture.isEmpty());
    EXPECT_EQ(files.copy(fixture.messages[5]).file, QStringLiteral("voice1"));
    EXPECT_EQ(files.copy(fixture.messages[8]).file, QStringLiteral("report.pdf"));
    EXPECT_TRUE(files.copy(fixture.messages[6]).file.isEmpty()); // a sticker has nothing to copy
    EXPECT_EQ(filesBelow(root.filePath(QStringLiteral("out/files"))),
              (QStringList{QStringLiteral("clip.mp4"), QStringLiteral("report.pdf"),
                           QStringLiteral("thumb1.jpg"), QStringLiteral("voice1")}));

    // the page links the copies by name in "files", a missing picture by the placeholder
    const ExportPageTarget page({QStringLiteral("a #1%.mp4"), QString()});
    EXPECT_EQ(page.video(video).link, QStringLiteral("files/a%20%231%25.mp4"));
    EXPECT_EQ(page.video(video).picture, QStringLiteral("files/empty_photo.jpg"));
    EXPECT_EQ(ExportPageTarget(withThumbnail).video(video).picture, QStringLiteral("files/thumb1.jpg"));

    log.rollback();
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("out"))));
}
