// The bubble view manager without a view: page state, and what clicked links do.
#include "ui/LineBubbleViewMgr.h"
#include "ChatFixture.h"
#include "ExportTestSupport.h"
#include "TestFiles.h"
#include "app/TextUtils.h"
#include "ui/LineBubblePageBuilder.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

namespace {

class LineBubbleViewMgrTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useEnglishTexts();
        m_manager.setFileOpener([this](const QString& path) { m_files << path; });
        m_manager.setFolderOpener([this](const QString& path) { m_folders << path; });
        m_manager.setUrlOpener([this](const QString& url) { m_urls << url; });
        m_manager.setNoticeHandler([this](const QString& text) { m_notices << text; });
    }
    void TearDown() override
    {
        for (const QString& folder : std::as_const(m_temporaryFolders))
            QDir(folder).removeRecursively();
    }

    // Clicks an attachment link and remembers the temporary folder it uses.
    void clickAttachment(const QString& path, const QString& suffix)
    {
        const QUrl url(LineBubblePageBuilder::attachmentLink(path, suffix));
        m_temporaryFolders << QDir::temp().filePath(md5Hex(url.toString()));
        m_manager.onLinkClicked(url);
    }
    QString media(const QString& name) const { return QDir(m_media.path()).filePath(name); }

    LineBubbleViewMgr m_manager;
    QTemporaryDir m_media;
    QStringList m_files, m_folders, m_urls, m_notices, m_temporaryFolders;
};

} // namespace

TEST_F(LineBubbleViewMgrTest, EmptySourceShowsAnEmptyPage)
{
    m_manager.showBubble(std::make_shared<LineMsgsListSource>());
    EXPECT_EQ(m_manager.currentPage(), 0);
    EXPECT_EQ(m_manager.pageCount(), 0);
    EXPECT_TRUE(m_manager.currentHtml().isEmpty());
    m_manager.nextPage();
    m_manager.lastPage();
    m_manager.showMessage(0);
    EXPECT_EQ(m_manager.currentPage(), 0);
}

TEST_F(LineBubbleViewMgrTest, PagesAndAnchors)
{
    GeneratedMessages many(120, 4);
    m_manager.showBubble(many.source());
    EXPECT_EQ(m_manager.pageCount(), 3);
    EXPECT_EQ(m_manager.currentPage(), 1);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("start"));
    m_manager.onLinkClicked(QUrl(QStringLiteral("file:///pre_page"))); // nothing before page 1
    EXPECT_EQ(m_manager.currentPage(), 1);
    m_manager.onLinkClicked(QUrl(QStringLiteral("file:///next_page")));
    EXPECT_EQ(m_manager.currentPage(), 2);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("start"));
    m_manager.lastPage();
    EXPECT_EQ(m_manager.currentPage(), 3);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("end"));
    EXPECT_EQ(m_manager.currentHtml().count(QLatin1String("<a name=\"sms_")), 20);
    m_manager.nextPage(); // nothing after the last page
    EXPECT_EQ(m_manager.currentPage(), 3);
    m_manager.onLinkClicked(QUrl(QStringLiteral("file:///pre_page")));
    EXPECT_EQ(m_manager.currentPage(), 2);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("end"));
    m_manager.firstPage();
    EXPECT_EQ(m_manager.currentPage(), 1);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("start"));
}

TEST_F(LineBubbleViewMgrTest, ShowMessageOpensItsPageAtItsAnchor)
{
    GeneratedMessages many(120, 4);
    m_manager.showBubble(many.source());
    m_manager.showMessage(75);
    EXPECT_EQ(m_manager.currentPage(), 2);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("sms_76"));
    EXPECT_TRUE(m_manager.currentHtml().contains(QLatin1String("<a name=\"sms_76\"></a>")));
    const QString html = m_manager.currentHtml();
    m_manager.showMessage(60); // same page: only the anchor moves
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("sms_61"));
    m_manager.showMessage(120);
    m_manager.showMessage(-1);
    EXPECT_EQ(m_manager.currentPage(), 2);
    EXPECT_EQ(m_manager.anchor(), QStringLiteral("sms_61"));
}

TEST_F(LineBubbleViewMgrTest, AttachmentIsCopiedOnceIntoItsTemporaryFolderAndOpened)
{
    writeFileBytes(media(QStringLiteral("photo1")), "picture");
    clickAttachment(media(QStringLiteral("photo1")), QStringLiteral("jpg"));
    ASSERT_EQ(m_files.size(), 1);
    const QString copy = m_files.first();
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QDir(m_temporaryFolders.first()).absolutePath());
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("photo1.jpg"));
    EXPECT_EQ(readFileBytes(copy), "picture");
    // the same link again: the same folder, and the copy already there is kept
    writeFileBytes(copy, "opened and changed");
    clickAttachment(media(QStringLiteral("photo1")), QStringLiteral("jpg"));
    ASSERT_EQ(m_files.size(), 2);
    EXPECT_EQ(m_files[1], copy);
    EXPECT_EQ(readFileBytes(copy), "opened and changed");
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(LineBubbleViewMgrTest, OtherSuffixesShowTheFolder)
{
    writeFileBytes(media(QStringLiteral("archive")), "zip");
    clickAttachment(media(QStringLiteral("archive")), QStringLiteral("zip"));
    // a part of a known suffix is not one ("pe" is in "jpeg")
    clickAttachment(media(QStringLiteral("archive")), QStringLiteral("pe"));
    // a suffix that is not a plain word is not used in the copy's name
    clickAttachment(media(QStringLiteral("archive")), QStringLiteral("../../x"));
    EXPECT_TRUE(m_files.isEmpty());
    ASSERT_EQ(m_folders.size(), 3);
    EXPECT_TRUE(QFileInfo::exists(QDir(m_folders[0]).filePath(QStringLiteral("archive.zip"))));
    EXPECT_TRUE(QFileInfo::exists(QDir(m_folders[2]).filePath(QStringLiteral("archive"))));
    EXPECT_EQ(QDir(m_folders[2]).entryList(QDir::Files), QStringList{QStringLiteral("archive")});
}

TEST_F(LineBubbleViewMgrTest, MissingOrEmptyAttachmentsAreReported)
{
    clickAttachment(QStringLiteral("/one/two/three/four/gone.jpg"), QStringLiteral("jpg"));
    writeFileBytes(media(QStringLiteral("empty")), QByteArray());
    clickAttachment(media(QStringLiteral("empty")), QStringLiteral("jpg"));
    clickAttachment(QStringLiteral("gone"), QString());
    ASSERT_EQ(m_notices.size(), 3);
    EXPECT_EQ(m_notices[0], QStringLiteral("cannot find ...three/four/gone.jpg."));
    EXPECT_TRUE(m_notices[1].endsWith(QLatin1String("/empty.")));
    EXPECT_EQ(m_notices[2], QStringLiteral("cannot find gone."));
    EXPECT_TRUE(m_files.isEmpty());
    EXPECT_TRUE(m_folders.isEmpty());
}

TEST_F(LineBubbleViewMgrTest, LocalFileLinksAreCopiedThenOpened)
{
    writeFileBytes(media(QStringLiteral("doc.pdf")), "%PDF");
    const QUrl url = QUrl::fromLocalFile(media(QStringLiteral("doc.pdf")));
    m_temporaryFolders << QDir::temp().filePath(md5Hex(url.toString()));
    m_manager.onLinkClicked(url);
    ASSERT_EQ(m_files.size(), 1);
    EXPECT_EQ(QFileInfo(m_files.first()).fileName(), QStringLiteral("doc.pdf"));
    m_manager.onLinkClicked(QUrl::fromLocalFile(media(QStringLiteral("missing.pdf"))));
    EXPECT_EQ(m_notices.size(), 1);
}

TEST_F(LineBubbleViewMgrTest, WebAddressesOpenInTheBrowserAndNothingElseRuns)
{
    m_manager.onLinkClicked(QUrl(QStringLiteral("http://maps.example/staticmap?center=1,2")));
    m_manager.onLinkClicked(QUrl(QStringLiteral("https://example.org/a")));
    m_manager.onLinkClicked(QUrl(QStringLiteral("javascript:alert(1)")));
    m_manager.onLinkClicked(QUrl(QStringLiteral("smb://server/share")));
    EXPECT_EQ(m_urls, (QStringList{QStringLiteral("http://maps.example/staticmap?center=1,2"),
                                   QStringLiteral("https://example.org/a")}));
    EXPECT_TRUE(m_files.isEmpty());
    EXPECT_TRUE(m_folders.isEmpty());
}
