#pragma once

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QThread>

// Keeps programs that would take the device away from the program (iTunes on Windows) from running
// beside it: once a second the process list is scanned, and a listed program is ended, with a message
// for the user for some of them (processKilled, delivered to the object's thread). Where nothing
// interferes (Linux, macOS) nothing is registered and the thread ends at once.
class Win32KillProcessesThread : public QThread
{
    Q_OBJECT

public:
    explicit Win32KillProcessesThread(QObject* parent = nullptr);
    // Asks the loop to stop and waits for it (at most one sleep and one scan).
    ~Win32KillProcessesThread() override;

    // Registers iTunes with its message, where iTunes exists.
    void watchITunes();
    // Registers a program ended without a message / with this message; names compare ignoring case.
    void killSilently(const QString& executable);
    void killAndNotify(const QString& executable, const QString& message);

    // One pass over the process list; returns how many processes were ended.
    int scanOnce();

signals:
    // A listed program was ended; message is for the user.
    void processKilled(const QString& message);

protected:
    void run() override;

private:
    bool stopping() const;

    mutable QMutex m_mutex;
    bool m_stopping = false;
    QSet<QString> m_killSilently;
    QHash<QString, QString> m_killAndNotify;
};
