#pragma once

#include "device/Backup2Options.h"
#include "device/Backup2ToolHook.h"

#include <QDir>
#include <QMutex>
#include <QObject>
#include <QString>
#include <memory>

class JobControl;

// Holds one mobilebackup2 conversation with an iPhone, the one iTunes holds for a backup or a restore: the
// device drives it with DeviceLink messages (send files, take files, list, move, copy, remove, free space)
// and the engine answers each one, storing and finding files through a Backup2ToolHook (a plain folder by
// default). Every path the device names is checked to stay inside root before anything is touched.
//
// run() blocks its thread. It returns after the device reported success, throws JobCancelled after a
// cancel (cancel() from any thread, or the control's), and throws std::runtime_error with a plain text for
// the user when the device or the connection failed.
class backup2tool : public QObject
{
    Q_OBJECT

public:
    backup2tool(const QString& udid, const QDir& root, std::shared_ptr<Backup2ToolHook> hook = {},
                QObject* parent = nullptr);
    ~backup2tool() override;

    void run(const Backup2Options& options, JobControl& control);
    void run(const Backup2Options& options);

    // Answers the device's request for the backup's Manifest.db (any letter case) with this file of the
    // backup folder instead, e.g. "Manifest-line.db".
    void setManifestDbSubstitute(const QString& name) { m_manifestDbSubstitute = name; }

    const QString& udid() const { return m_udid; }
    const QDir& root() const { return m_root; }
    QDir backupDir() const { return m_backupDir; }
    Backup2ToolHook& hook() const { return *m_hook; }
    // The last percentage the device reported.
    double progress() const { return m_progress; }
    // Whether cancel() was called or the running control was cancelled.
    bool isCancelled() const;

    // How much free space the device hears about when it asks: the partial backup keeps only a few files
    // of what the device sends, so the computer's real free space says nothing.
    static constexpr quint64 kReportedFreeSpace = 1ULL << 40;

public slots:
    void cancel();

signals:
    // pg: the device's percentage; status2: what is going on.
    void update(double pg, const QString& status1, const QString& status2);
    // The device shows (true) or stopped showing (false) its passcode prompt, which an encrypted backup
    // on newer systems waits for. Emitted on the library's notification thread.
    void passcodeRequested(bool shown);

private:
    friend class Backup2Conversation;

    void report(const QString& text);
    static void onNotification(const char* notification, void* self);

    mutable QMutex m_mutex;
    bool m_cancelled = false;
    QString m_udid;
    QDir m_root;
    QDir m_backupDir;
    std::shared_ptr<Backup2ToolHook> m_hook;
    double m_progress = 0;
    QString m_manifestDbSubstitute;
    QString m_extraErrorText;
    JobControl* m_control = nullptr;
};
