#pragma once

#include "app/JobMessage.h"

#include <QCoreApplication>
#include <QString>

// The advice the device jobs add to a failure: what to try after a lost connection, and the closing note
// that points to the transfer tutorial (when the vendor's help pages are configured) or suggests a
// restart. Plain text; at most one link (the Find My iPhone help for that error, else the tutorial).
class DeviceJobNotes
{
    Q_DECLARE_TR_FUNCTIONS(IOSMobileBackupThread)

public:
    // The backup job's message for the engine's text.
    static JobMessage backupFailure(const QString& errorText, bool tutorialNote);
    // The restore job's message.
    static JobMessage restoreFailure(const QString& errorText, bool tutorialNote);

private:
    static JobMessage withNote(QString text, bool tutorialNote, const QString& tutorialWords);
};
