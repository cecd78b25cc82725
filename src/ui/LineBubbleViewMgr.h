#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <memory>

class QTemporaryDir;

// Shows a message source in a web view as chat bubbles, 50 messages a page, and handles the page's
// links: paging ("/pre_page", "/next_page"), attachments (copied into a temporary folder, then opened),
// and web addresses. Lives on the GUI thread with the main window.
class LineBubbleViewMgr : public QObject
{
    Q_OBJECT

public:
    // Receives a file, folder or web address to open, or a notice text to show.
    using Handler = std::function<void(const QString&)>;

    explicit LineBubbleViewMgr(QObject* parent = nullptr);
    ~LineBubbleViewMgr() override;

    // Keeps the view (not owned) and gives it a page that hands link clicks to this manager.
    void setWebView(QWebEngineView* view);
    QWebEngineView* webView() const { return m_view; }

    // Shows the page holding the message at index and scrolls to it.
    void showMessage(qint64 index);
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();

    qint64 messageCount() const { return m_count; }
    qint64 currentPage() const { return m_currentPage; }
    qint64 pageCount() const { return m_pageCount; }
    const QString& anchor() const { return m_anchor; }
    // The page last handed to the view.
    const QString& currentHtml() const { return m_html; }
    // The page's base address: the asset folder as a local-file URL ending in "/".
    static QUrl baseUrl();

    // How files, folders and web addresses are opened and notices shown; by default with the system's
    // programs and a message box. Tests replace them.
    void setFileOpener(Handler handler) { m_openFile = std::move(handler); }
    void setFolderOpener(Handler handler) { m_openFolder = std::move(handler); }
    void setUrlOpener(Handler handler) { m_openUrl = std::move(handler); }
    void setNoticeHandler(Handler handler) { m_notice = std::move(handler); }

public slots:
    void showBubble(PAbsLineMsgsSource source);
    void onLoadFinish(bool ok);
    void onLinkClicked(const QUrl& url);

signals:
    // A page was handed to the view (page 0: the empty page).
    void pageShown(qint64 page);

private:
    void render(qint64 page);
    void setPageHtml(const QString& html);
    void scrollToAnchor();
    void openLocalFile(const QString& path, const QString& urlText);
    void openAttachment(const QString& path, const QString& suffix, const QString& urlText);
    void notifyMissing(const QString& path);

    QPointer<QWebEngineView> m_view;
    PAbsLineMsgsSource m_source;
    qint64 m_count = 0;
    qint64 m_currentPage = 0;
    qint64 m_pageCount = 0;
    QString m_anchor;
    QString m_html;
    std::unique_ptr<QTemporaryDir> m_largePages; // pages too large to hand over in memory
    Handler m_openFile;
    Handler m_openFolder;
    Handler m_openUrl;
    Handler m_notice;
};
