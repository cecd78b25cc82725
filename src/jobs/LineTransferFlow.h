#pragma once

#include "device/DeviceInfo.h"
#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QString>

class LineTransferDialogs;

// Where the messages of a transfer come from: the messages, and the backup folder or device they were
// read from (empty when neither), so that a transfer into that same place is refused.
struct LineTransferSource
{
    PAbsLineMsgsSource messages;
    QString backupFolder;
    QString udid;
};

// The flows that move LINE's messages between sources, written once for the main window and ferrowyn-cli:
// each asks its questions through the dialogs and shows its jobs' progress there. A flow that fails or is
// cancelled at any step leaves its target as it was.
class LineTransferFlow
{
    Q_DECLARE_TR_FUNCTIONS(LineTransferFlow)

public:
    enum class Result
    {
        Done,
        Failed,    // the reason was shown
        Cancelled, // the user stopped a job or gave up
    };

    explicit LineTransferFlow(LineTransferDialogs& dialogs);

    // Backs up LINE's messages of an iTunes/Finder backup into the local database localDbDir()/name; an
    // empty name is the backup's device name + "_Backup".
    Result importFromBackup(const QString& backupFolder, const QString& name);

    // Merges the messages into LINE's data in an iTunes/Finder backup: LINE's data is loaded into a
    // temporary folder (deleted afterwards), merged, and the changed files are put into the backup, which
    // changes all at once or not at all.
    Result exportToBackup(const LineTransferSource& source, const QString& backupFolder);

    // Merges the messages into an attached iPhone's LINE data. A fresh backup of the phone is taken right
    // before the merge (incremental, so cheap), so messages that reached the phone since it was attached
    // are kept; the merge goes into a copy of that backup, and the copy is restored. Up to iOS 26 the
    // backup and the restore hold LINE's files only (partial); from iOS 27 on, which drops sparse restores
    // with app data, and when a partial restore fails and the user agrees, the whole phone is backed up
    // and restored (full) after the user confirmed its size and time. The full backup as taken stays on
    // the computer, so the phone can be put back as it was. When the phone already holds every message
    // and file (nothing in the copy changed), it is not restored.
    Result transferToDevice(const LineTransferSource& source, const QString& udid);

    // After a flow that was Done: the messages handled (those with a chat and a uid) and, after an import,
    // the local database's folder.
    qint64 transferredCount() const { return m_transferred; }
    // After transferToDevice was Done: whether the phone had everything already and was left alone.
    bool restoreSkipped() const { return m_restoreSkipped; }
    const QString& localDbFolder() const { return m_localDbFolder; }

private:
    enum class Mode
    {
        Partial,
        Full,
    };
    Result transferInMode(const LineTransferSource& source, const PDeviceInfo& device, Mode mode,
                          bool& restoreFailed);
    bool confirmFull(const DeviceInfo& device);

    LineTransferDialogs& m_dialogs;
    qint64 m_transferred = 0;
    bool m_restoreSkipped = false;
    QString m_localDbFolder;
};
