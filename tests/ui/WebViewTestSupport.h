#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

// Runs a script in the program's own script world of a loaded page (page scripts may be off) and
// waits for its result; an invalid QVariant after 10 s.
QVariant evaluate(QWebEnginePage* page, const QString& script);

// The images of the loaded page that did not load, as their addresses.
QStringList brokenImages(QWebEnginePage* page);

// Where the test's screenshots go: <build>/test-artifacts.
QString artifactDir();

// A page with scripts on, as a browser opens an exported file, that records its console messages.
class ConsoleRecordingPage : public QWebEnginePage
{
    Q_OBJECT

public:
    using QWebEnginePage::QWebEnginePage;
    QStringList messages;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
};

// Records every address a profile requests.
class RequestRecorder : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    QStringList urls;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
