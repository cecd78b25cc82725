#pragma once

#include "jobs/DeviceLoadDialogs.h"

// The questions of the flows that move LINE's messages between sources (LineTransferFlow) besides those of
// loading a device: the main window answers with its dialogs, ferrowyn-cli from its options and the
// console.
class LineTransferDialogs : public DeviceLoadDialogs
{
public:
    ~LineTransferDialogs() override;

    // The password of the encrypted backup messages go into (unlocked with it), or nothing when the user
    // gives up. askBackupPassword asks for a source's.
    virtual std::optional<QString> askTargetBackupPassword(BackupManifest& backup) = 0;
    // A yes/no question before something that cannot be undone; true to go on.
    virtual bool confirm(const QString& question) = 0;
    // A notice or the result of a flow.
    virtual void showTips(const JobMessage& message) = 0;
};
