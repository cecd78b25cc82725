#include "ui/LineBubbleViewMgr.h"

#include "app/AssetDir.h"
#include "app/TextUtils.h"
#include "platform/Shell.h"
#include "ui/LineBubblePage.h"
#include "ui/LineBubblePageBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {
// QWebEnginePage::setHtml refuses content of 2 MB or more; larger pages go through a file.
constexpr qsizetype kMaxInMemoryPage = 2 * 1024 * 1024 - 64 * 1024;

// Attachments with these suffixes open with their program; anything else shows its folder.
bool opensDirectly(const QString& suffix)
{
    static const QStringList suffixes = {
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("bmp"),
        QStringLiteral("gif"), QStringLiteral("mp3"),  QStringLiteral("mp4"), QStringLiteral("mov"),
        QStringLiteral("aac"), QStringLiteral("pdf"),  QStringLiteral("txt"),
    };
    return suffixes.contains(suffix);
}

// Suffixes arrive in page addresses; only a plain word is used in a file name.
QString plainSuffix(const QString& suffix)
{
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9]{1,16}$"));
    return plain.match(suffix).hasMatch() ? suffix : QString();
}

void showNotice(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, LineBubbleViewMgr::tr("Ferrowyn"), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // file names are shown as they are, never as markup
    box.exec();
}

// The copy of an attachment in the temporary folder named after the clicked address: the same address
// always uses the same folder, and a copy already there is reused.
QString temporaryCopy(const QString& path, const QString& copyName, const QString& urlText, bool* copied)
{
    const QDir folder(QDir::temp().filePath(md5Hex(urlText)));
    folder.mkpath(QStringLiteral("."));
    const QString target = folder.filePath(copyName);
    *copied = QFileInfo::exists(target) || QFile::copy(path, target);
    return target;
}
} // namespace

LineBubbleViewMgr::LineBubbleViewMgr(QObject* parent)
    : QObject(parent), m_openFile(openWithShell), m_openFolder(openInFileManager), m_openUrl(openWithShell)
{
    m_notice = [this](const QString& text) { showNotice(m_view, text); };
}

LineBubbleViewMgr::~LineBubbleViewMgr() = default;

QUrl LineBubbleViewMgr::baseUrl()
{
    QString folder = QDir(assetDir()).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return QUrl::fromLocalFile(folder);
}

void LineBubbleViewMgr::setWebView(QWebEngineView* view)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_view = view;
    if (!view)
        return;
    auto* page = new LineBubblePage(view);
    view->setPage(page);
    connect(view, &QWebEngineView::loadFinished, this, &LineBubbleViewMgr::onLoadFinish);
    // Queued: a click may load another page, which must not start inside the page's navigation check.
    connect(page, &LineBubblePage::linkClicked, this, &LineBubbleViewMgr::onLinkClicked,
            Qt::QueuedConnection);
}

void LineBubbleViewMgr::showBubble(PAbsLineMsgsSource source)
{
    m_source = std::move(source);
    m_count = m_source ? m_source->count() : 0;
    m_anchor.clear();
    if (m_count <= 0) {
        m_count = 0;
        m_currentPage = 0;
        m_pageCount = 0;
        setPageHtml(QString());
        emit pageShown(0);
        return;
    }
    m_pageCount = LineBubblePageBuilder::pageCount(m_count);
    m_anchor = QStringLiteral("start");
    render(1);
}

void LineBubbleViewMgr::showMessage(qint64 index)
{
    if (!m_source || index < 0 || index >= m_count)
        return;
    const qint64 page = LineBubblePageBuilder::pageOfIndex(index);
    m_anchor = QStringLiteral("sms_%1").arg(m_source->message(index).id);
    if (page == m_currentPage)
        scrollToAnchor();
    else
        render(page);
}

void LineBubbleViewMgr::firstPage()
{
    if (m_pageCount < 1)
        return;
    m_anchor = QStringLiteral("start");
    render(1);
}

void LineBubbleViewMgr::previousPage()
{
    if (m_currentPage < 2)
        return;
    m_anchor = QStringLiteral("end");
    render(m_currentPage - 1);
}

void LineBubbleViewMgr::nextPage()
{
    if (m_currentPage >= m_pageCount)
        return;
    m_anchor = QStringLiteral("start");
    render(m_currentPage + 1);
}

void LineBubbleViewMgr::lastPage()
{
    if (m_pageCount < 1)
        return;
    m_anchor = QStringLiteral("end");
    render(m_pageCount);
}

void LineBubbleViewMgr::render(qint64 page)
{
    if (!m_source || page < 1 || page > m_pageCount)
        return;
    m_currentPage = page;
    setPageHtml(LineBubblePageBuilder::build(*m_source, m_count, page));
    emit pageShown(page);
}

void LineBubbleViewMgr::setPageHtml(const QString& html)
{
    m_html = html;
    if (!m_view)
        return;
    if (html.isEmpty()) {
        m_view->setHtml(QString(), QUrl());
        return;
    }
    const QByteArray utf8 = html.toUtf8();
    if (utf8.size() <= kMaxInMemoryPage) {
        m_view->setHtml(html, baseUrl());
        return;
    }
    // The file lives in a private temporary folder; a base element keeps the page's relative addresses
    // pointing at the asset folder.
    if (!m_largePages)
        m_largePages = std::make_unique<QTemporaryDir>();
    const QString path = m_largePages->filePath(QStringLiteral("bubble-page.html"));
    QByteArray withBase = utf8;
    const qsizetype head = withBase.indexOf("<head>");
    if (head >= 0)
        withBase.insert(head + 6, "<base href=\"" +
                                      htmlAttributeEscape(baseUrl().toString(QUrl::FullyEncoded)).toUtf8() +
                                      "\"/>");
    QSaveFile file(path);
    if (!m_largePages->isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(withBase) != withBase.size() || !file.commit()) {
        qWarning("bubble view: cannot write a large page to %s", qPrintable(path));
        m_view->setHtml(QString(), QUrl());
        return;
    }
    m_view->setUrl(QUrl::fromLocalFile(path));
}

void LineBubbleViewMgr::onLoadFinish(bool ok)
{
    Q_UNUSED(ok);
    scrollToAnchor();
}

void LineBubbleViewMgr::scrollToAnchor()
{
    static const QRegularExpression plainAnchor(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!m_view || !plainAnchor.match(m_anchor).hasMatch())
        return;
    // Page scripts are off; this runs in the program's own script world, which they cannot reach.
    const QString script =
        QStringLiteral(
            "(function(){var a=document.getElementsByName('%1');if(a.length)a[0].scrollIntoView();})();")
            .arg(m_anchor);
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void LineBubbleViewMgr::onLinkClicked(const QUrl& url)
{
    const QString path = url.path();
    if (path == QLatin1String("/pre_page")) {
        previousPage();
        return;
    }
    if (path == QLatin1String("/next_page")) {
        nextPage();
        return;
    }
    if (url.isLocalFile()) {
        openLocalFile(url.toLocalFile(), url.toString());
        return;
    }
    if (url.scheme() == QLatin1String("atta")) {
        const QUrlQuery query(url);
        const QByteArray hex = query.queryItemValue(QStringLiteral("ph"), QUrl::FullyDecoded).toLatin1();
        const QString file = QString::fromUtf8(QByteArray::fromHex(hex));
        const QString suffix = query.queryItemValue(QStringLiteral("sf"), QUrl::FullyDecoded).toLower();
        openAttachment(file, plainSuffix(suffix.trimmed()), url.toString());
        return;
    }
    // Web addresses only: a page link never starts a program through some other scheme.
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        m_openUrl(url.toString(QUrl::FullyEncoded));
}

void LineBubbleViewMgr::openLocalFile(const QString& path, const QString& urlText)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() <= 0) {
        notifyMissing(path);
        return;
    }
    bool copied = false;
    const QString copy = temporaryCopy(path, info.fileName(), urlText, &copied);
    if (!copied) {
        m_notice(tr("Cannot copy %1.").arg(path));
        return;
    }
    if (opensDirectly(info.suffix().trimmed()))
        m_openFile(copy);
    else
        m_openFolder(QFileInfo(copy).absolutePath());
}

void LineBubbleViewMgr::openAttachment(const QString& path, const QString& suffix, const QString& urlText)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() <= 0) {
        notifyMissing(path);
        return;
    }
    const QString name = suffix.isEmpty() ? info.fileName() : info.fileName() + QLatin1Char('.') + suffix;
    bool copied = false;
    const QString copy = temporaryCopy(path, name, urlText, &copied);
    if (!copied) {
        m_notice(tr("Cannot copy %1.").arg(path));
        return;
    }
    if (!suffix.isEmpty() && opensDirectly(suffix))
        m_openFile(copy);
    else
        m_openFolder(QFileInfo(copy).absolutePath());
}

void LineBubbleViewMgr::notifyMissing(const QString& path)
{
    static const QRegularExpression lastThree(QStringLiteral("([^/]+/[^/]+/[^/]+)$"));
    const QRegularExpressionMatch match = lastThree.match(path);
    const QString shown = match.hasMatch() ? QStringLiteral("...") + match.captured(1) : path;
    m_notice(tr("cannot find %1.").arg(shown));
}
