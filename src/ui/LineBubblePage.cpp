#include "ui/LineBubblePage.h"

#include <QWebEngineSettings>

LineBubblePage::LineBubblePage(QObject* parent) : QWebEnginePage(parent)
{
    QWebEngineSettings* pageSettings = settings();
    pageSettings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    pageSettings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    pageSettings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    pageSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Thumbnails are local files; the page itself is built by the program.
    pageSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
}

bool LineBubblePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(isMainFrame);
    if (type == NavigationTypeLinkClicked) {
        emit linkClicked(url);
        return false;
    }
    // Pages are set by the program; nothing in them may navigate elsewhere.
    return type != NavigationTypeFormSubmitted && type != NavigationTypeRedirect;
}

QWebEnginePage* LineBubblePage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    return nullptr;
}
