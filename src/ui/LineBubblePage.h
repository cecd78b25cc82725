#pragma once

#include <QUrl>
#include <QWebEnginePage>

// The bubble view's web page: runs no page scripts, opens no windows, and hands every clicked link to
// the program (linkClicked) instead of following it.
class LineBubblePage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit LineBubblePage(QObject* parent = nullptr);

signals:
    void linkClicked(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
};
