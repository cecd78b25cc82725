#include "app/Log.h"
#include "jobs/OnlineRemoteOptions.h"
#include "online/HttpLibrary.h"
#include "platform/AppDataDir.h"
#include "platform/AppLanguage.h"
#include "platform/LocalTimeZone.h"
#include "platform/SystemAwake.h"
#include "platform/TerminationSignal.h"
#include "platform/Win32KillProcessesThread.h"
#include "storage/SqliteVersion.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QTimer>

namespace {
constexpr int kRequiredSqliteLayer = 8;
constexpr int kLogFilesKept = 10;
} // namespace

int main(int argc, char* argv[])
{
    pinLocalTimeZone();
    // The bubble view is a Qt WebEngine view, which shares OpenGL contexts with the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrowyn"));
    // Before any text is shown: every text, English included, comes from the translation.
    setAppLanguage(QString());
    quitApplicationOnTerminationSignal();

    keepSystemAwake();

    if (sqlite_qt_version() != kRequiredSqliteLayer) {
        showErrorReport(QCoreApplication::translate("main", "invalid libsqlite_qt."));
        return 1;
    }

    startLog(appDataDir().filePath(QStringLiteral("qlogs")), kLogFilesKept);
    qDebug("Ferrowyn started");

    initHttpLibrary();
    useOnlineRemoteOptions();

    // iTunes would take the device away from the program; where it exists it is stopped while the program
    // runs. Destroyed after the window, which stops and joins the watch.
    Win32KillProcessesThread processWatch;
    processWatch.watchITunes();
    QObject::connect(&processWatch, &Win32KillProcessesThread::processKilled, &app,
                     [](const QString& message) { showTips(message); });
    processWatch.start();

    MainWindow mainWindow;
    mainWindow.show();
    // A start-up check (scripts/run --demo's test) ends the program by itself after this many ms.
    if (const int quitAfterMs = qEnvironmentVariableIntValue("FERROWYN_QUIT_AFTER_MS"); quitAfterMs > 0)
        QTimer::singleShot(quitAfterMs, &app, &QCoreApplication::quit);
    const int exitCode = app.exec();
    qDebug("Ferrowyn exits with %d", exitCode);
    return exitCode;
}
