#include "platform/SystemAwake.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtDebug>

void keepSystemAwake()
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    // A helper that holds the inhibition and exits together with this process.
    const QString caffeinate = QStandardPaths::findExecutable(QStringLiteral("caffeinate"));
    if (!caffeinate.isEmpty()) {
        QProcess::startDetached(caffeinate, {QStringLiteral("-dis"), QStringLiteral("-w"), pid});
        return;
    }
    const QString inhibit = QStandardPaths::findExecutable(QStringLiteral("systemd-inhibit"));
    const QString tail = QStandardPaths::findExecutable(QStringLiteral("tail"));
    if (!inhibit.isEmpty() && !tail.isEmpty()) {
        QProcess::startDetached(
            inhibit, {QStringLiteral("--what=sleep:idle"), QStringLiteral("--who=Ferrowyn"),
                      QStringLiteral("--why=Working with an iPhone"), QStringLiteral("--mode=block"), tail,
                      QStringLiteral("-f"), QStringLiteral("/dev/null"), QStringLiteral("--pid=") + pid});
        return;
    }
    qDebug("keepSystemAwake: no sleep inhibitor found on this system");
}
