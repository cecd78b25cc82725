// The bubble view in a real web view (run under Xvfb): the chat fixture looks like a chat, and clicks on
// the page's links reach the manager. Saves test-artifacts/bubble-view.png.
#include "ChatFixture.h"
#include "TestFiles.h"
#include "WebViewTestSupport.h"
#include "line/LineImageUrls.h"
#include "ui/LineBubbleViewMgr.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

class BubbleViewWebTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // no network in tests: stickers and maps show as text
        LineImageUrls::setStickerServer(QString());
        LineImageUrls::setMapServer(QString());
        m_view.resize(560, 1000);
        m_view.show();
        m_manager.setWebView(&m_view);
        m_manager.setFileOpener([this](const QString& path) { m_opened << path; });
        m_manager.setFolderOpener([this](const QString& path) { m_opened << path; });
        m_manager.setUrlOpener([this](const QString& url) { m_opened << url; });
        m_manager.setNoticeHandler([this](const QString& text) { m_notices << text; });
    }
    void TearDown() override { LineImageUrls::resetServers(); }

    // Shows a source and waits until the page has loaded.
    void show(const PAbsLineMsgsSource& source)
    {
        QSignalSpy loaded(&m_view, &QWebEngineView::loadFinished);
        m_manager.showBubble(source);
        ASSERT_TRUE(waitForGoodLoad(loaded));
    }

    // A refused link navigation may report a failed load before the page the click leads to has loaded.
    static bool waitForGoodLoad(QSignalSpy& loaded)
    {
        return QTest::qWaitFor(
            [&] {
                for (const QList<QVariant>& emission : std::as_const(loaded))
                    if (emission.first().toBool())
                        return true;
                return false;
            },
            30000);
    }

    // Clicks the first element that matches a CSS selector, as a user would.
    void click(const QString& selector)
    {
        const QVariantList box =
            evaluate(m_view.page(), QStringLiteral("(function(){var e=document.querySelector('%1');"
                                                   "e.scrollIntoView();var r=e.getBoundingClientRect();"
                                                   "return [r.left + r.width / 2, r.top + r.height / 2];})()")
                                        .arg(selector))
                .toList();
        ASSERT_EQ(box.size(), 2) << selector.toStdString();
        const QPoint point(int(box[0].toDouble()), int(box[1].toDouble()));
        QWidget* target = m_view.focusProxy() ? m_view.focusProxy() : &m_view;
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    }

    QWebEngineView m_view;
    LineBubbleViewMgr m_manager;
    QStringList m_opened;
    QStringList m_notices;
};

// Pixels of exactly this colour (the bubbles are flat colours) in a part of the image.
int countColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

} // namespace

TEST_F(BubbleViewWebTest, LooksLikeAChat)
{
    ChatFixture fixture;
    show(fixture.source());
    QWebEnginePage* page = m_view.page();
    EXPECT_EQ(evaluate(page, QStringLiteral("getComputedStyle(document.querySelector('.bb1')).cssFloat"))
                  .toString(),
              QStringLiteral("left"));
    EXPECT_EQ(evaluate(page, QStringLiteral("getComputedStyle(document.querySelector('.bb2')).cssFloat"))
                  .toString(),
              QStringLiteral("right"));
    EXPECT_EQ(evaluate(page, QStringLiteral("document.querySelectorAll('.r').length")).toInt(), 3);
    EXPECT_EQ(evaluate(page, QStringLiteral("document.querySelectorAll('script').length")).toInt(), 0);
    EXPECT_EQ(evaluate(page, QStringLiteral("document.querySelectorAll('b').length")).toInt(), 0);
    EXPECT_EQ(brokenImages(page), QStringList());

    // The compositor paints some time after the load; on a busy machine that can take a while.
    QImage shot;
    QRect left;
    QRect right;
    const bool painted = QTest::qWaitFor(
        [&] {
            shot = m_view.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const int half = shot.width() / 2;
            left = QRect(0, 0, half, shot.height());
            right = QRect(half, 0, shot.width() - half, shot.height());
            return countColour(shot, right, qRgb(0x8D, 0xE0, 0x55)) > 500;
        },
        20000);
    EXPECT_TRUE(painted);
    QDir().mkpath(artifactDir());
    ASSERT_TRUE(shot.save(QDir(artifactDir()).filePath(QStringLiteral("bubble-view.png"))));
    // sent bubbles (green) on the right only, received bubbles (white) mostly on the left
    EXPECT_GT(countColour(shot, right, qRgb(0x8D, 0xE0, 0x55)), 500);
    EXPECT_EQ(countColour(shot, left, qRgb(0x8D, 0xE0, 0x55)), 0);
    EXPECT_GT(countColour(shot, left, qRgb(0xFF, 0xFF, 0xFF)), 2000);
}

TEST_F(BubbleViewWebTest, LinkClicksReachTheManager)
{
    GeneratedMessages many(60, 2);
    show(many.source());
    ASSERT_EQ(m_manager.pageCount(), 2);
    QSignalSpy loaded(&m_view, &QWebEngineView::loadFinished);
    click(QStringLiteral("a[href=\"/next_page\"]"));
    ASSERT_TRUE(waitForGoodLoad(loaded));
    EXPECT_EQ(m_manager.currentPage(), 2);
    EXPECT_EQ(
        evaluate(m_view.page(), QStringLiteral("document.querySelectorAll('.bb1, .bb2').length")).toInt(),
        10);

    ChatFixture fixture;
    show(fixture.source());
    click(QStringLiteral("a[href^=\"atta:\"]")); // the photo
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_opened.isEmpty(); }, 10000));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(m_opened.first().endsWith(QLatin1String("/photo1.jpg")));
    EXPECT_EQ(readFileBytes(m_opened.first()), readFileBytes(fixture.mediaPath(QStringLiteral("photo1"))));
    EXPECT_TRUE(m_notices.isEmpty());
}

TEST_F(BubbleViewWebTest, ShowMessageScrollsToItsBubble)
{
    GeneratedMessages many(50, 1);
    show(many.source());
    const int top = evaluate(m_view.page(), QStringLiteral("window.scrollY")).toInt(); // at "start"
    EXPECT_LT(top, 50);
    m_manager.showMessage(45); // on the page already shown: scrolls at once
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return evaluate(m_view.page(), QStringLiteral("window.scrollY")).toInt() > top + 1000; },
        10000));
}

TEST_F(BubbleViewWebTest, PagesOverTwoMegabytesStillShow)
{
    ChatFixture fixture;
    _LineMsg huge = fixture.messages[0];
    huge.text = QString(3 * 1024 * 1024, QLatin1Char('x')) + QStringLiteral(" <b>end</b>");
    show(std::make_shared<LineMsgsListSource>(QList<_LineMsg>{fixture.messages[1], huge}));
    EXPECT_GT(evaluate(m_view.page(), QStringLiteral("document.body.innerText.length")).toInt(),
              3 * 1024 * 1024);
    EXPECT_EQ(evaluate(m_view.page(), QStringLiteral("document.querySelectorAll('b').length")).toInt(), 0);
    // the page still finds the asset folder
    EXPECT_EQ(
        evaluate(m_view.page(), QStringLiteral("getComputedStyle(document.querySelector('.bb1')).cssFloat"))
            .toString(),
        QStringLiteral("left"));
}
