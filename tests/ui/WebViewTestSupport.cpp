#include "WebViewTestSupport.h"

#include <QTest>
#include <QWebEngineScript>

QVariant evaluate(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QVariant();
    return result;
}

QStringList brokenImages(QWebEnginePage* page)
{
    return evaluate(page, QStringLiteral("Array.from(document.images)"
                                         ".filter(function(i){return !i.complete || i.naturalWidth === 0;})"
                                         ".map(function(i){return i.getAttribute('src');})"))
        .toStringList();
}

QString artifactDir()
{
    return QStringLiteral(FERROWYN_ARTIFACT_DIR);
}

void ConsoleRecordingPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                                    const QString& message, int line, const QString& source)
{
    messages << QStringLiteral("%1 %2:%3 %4").arg(int(level)).arg(source).arg(line).arg(message);
}

void RequestRecorder::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    urls << info.requestUrl().toString();
}
