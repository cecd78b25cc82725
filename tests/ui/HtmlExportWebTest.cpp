// Exported HTML pages open in a web view (run under Xvfb) as a browser would open them: scripts on, and
// still nothing runs, nothing fails to load, and nothing is requested outside the export folder.
#include "ChatFixture.h"
#include "RecordingProgressForm.h"
#include "WebViewTestSupport.h"
#include "jobs/ExportMessagesThread.h"
#include "line/LineImageUrls.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <gtest/gtest.h>

TEST(HtmlExportWebTest, PagesOpenWithoutErrors)
{
    // The program's image servers are configured: an export still requests nothing from them.
    LineImageUrls::resetServers();
    ChatFixture fixture;
    QTemporaryDir out;
    RecordingProgressForm form;
    ExportMessagesThread job(fixture.source(), out.path(), MessageExporter::Html, &form, QString());
    job.start();
    job.wait();
    QCoreApplication::processEvents();
    ASSERT_TRUE(job.succeeded()) << form.errors.join(QLatin1Char('\n')).toStdString();

    QWebEngineProfile profile;
    RequestRecorder requests;
    profile.setUrlRequestInterceptor(&requests);
    QWebEngineView view;
    view.resize(560, 900);
    view.show();
    QStringList pages = QDir(out.path()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    // the chats' pages; the index, a plain table, has no bubbles to style
    ASSERT_TRUE(pages.removeOne(QStringLiteral("index.html")));
    ASSERT_EQ(pages.size(), 3);
    for (const QString& name : pages) {
        auto* page = new ConsoleRecordingPage(&profile, &view);
        view.setPage(page);
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(QUrl::fromLocalFile(QDir(out.path()).filePath(name)));
        ASSERT_TRUE(loaded.wait(30000)) << name.toStdString();
        EXPECT_TRUE(loaded.last().first().toBool()) << name.toStdString();
        EXPECT_EQ(brokenImages(page), QStringList()) << name.toStdString();
        // the style sheet was found and applied
        EXPECT_EQ(evaluate(page, QStringLiteral("getComputedStyle(document.querySelector('.r')).position"))
                      .toString(),
                  QStringLiteral("relative"))
            << name.toStdString();
        EXPECT_EQ(
            evaluate(page, QStringLiteral("document.querySelectorAll('script, b, d, x').length")).toInt(), 0);
        EXPECT_EQ(page->messages, QStringList()) << name.toStdString();
        view.setPage(nullptr);
        delete page;
    }
    for (const QString& url : std::as_const(requests.urls))
        EXPECT_TRUE(QUrl(url).isLocalFile() && QUrl(url).toLocalFile().startsWith(out.path()))
            << url.toStdString();
    EXPECT_FALSE(requests.urls.isEmpty());
    LineImageUrls::resetServers();
}
